#pragma once

#include "window/formview.h"

#include <functional>

/// A face for the script window's core in tests: it holds what the core shows, and its
/// window is a registered handle with no widget, @p frame large.
class FakeFormView : public FormView
{
public:
    explicit FakeFormView(platform::Rect frame = {190, 105, 599, 396});
    ~FakeFormView() override;
    FakeFormView(const FakeFormView &) = delete;
    FakeFormView &operator=(const FakeFormView &) = delete;

    platform::WindowHandle handle() const override { return m_handle; }
    platform::Rect frameRect() override { return frame; }
    void moveTo(int left, int top) override;
    bool isShown() const override { return shown; }
    void runModal() override;
    void endModal() override { shown = false; }
    bool selectionOnly() const override { return selectionOnlyChecked; }
    void setSelectionOnly(bool checked) override { selectionOnlyChecked = checked; }
    void setScriptNames(const std::vector<std::string> &names) override;
    std::optional<std::string> chosenScriptName() const override { return chosen; }
    LineList scriptLines(platform::TextCoding coding) const override;
    std::string scriptText(platform::TextCoding coding) const override;
    void setScriptText(const std::string &text, platform::TextCoding coding) override;
    void showRunState(RunState state, const std::string &text) override;

    platform::Rect frame;
    bool shown = false;
    bool selectionOnlyChecked = false;
    std::vector<std::string> names;
    std::optional<std::string> chosen;
    std::string script;                                           ///< lines separated by CR LF
    platform::TextCoding scriptCoding = platform::systemCoding(); ///< the coding script is in
    int scriptSetCount = 0; ///< how often the core replaced the script
    RunState runState = RunState::Idle;
    std::string runText;
    /// Called by runModal() with the window shown, in place of a toolkit's event loop.
    std::function<void()> duringModal;

private:
    platform::WindowHandle m_handle = nullptr;
};
