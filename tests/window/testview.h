#pragma once

#include "viewdocument.h"

#include "platform/windowhandle.h"

/// A host view for tests: a window whose document answers the host messages the way the editor
/// does, and records every message it gets.
class TestView : public ViewDocument
{
public:
    TestView();
    ~TestView();
    TestView(const TestView &) = delete;
    TestView &operator=(const TestView &) = delete;

    platform::WindowHandle handle() const { return m_handle; }

private:
    platform::WindowHandle m_handle = nullptr;
};
