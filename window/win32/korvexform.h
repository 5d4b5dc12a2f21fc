#pragma once

#include "window/scriptsfolder.h"
#include "window/scriptwindow.h"

#include <string>

/**
 * The script window as a Win32 window of class "TfrmKorvex".
 */
class TfrmKorvex : public ScriptWindow
{
public:
    /// Creates the window under @p parent (none: a top-level window with no owner).
    explicit TfrmKorvex(platform::WindowHandle parent);
    ~TfrmKorvex() override;
    TfrmKorvex(const TfrmKorvex &) = delete;
    TfrmKorvex &operator=(const TfrmKorvex &) = delete;

    void AttachToView(platform::WindowHandle view) override;
    void showModal() override;
    void endShowing() override;
    bool isShown() const override;
    platform::WindowHandle handle() const override { return m_handle; }

private:
    platform::WindowHandle m_handle = nullptr;
    platform::WindowHandle m_viewWindow = nullptr;
    ScriptsFolder m_scriptsFolder;
};
