#include "korvexform.h"

#include <windows.h>

std::unique_ptr<ScriptWindow> ScriptWindow::create(platform::WindowHandle parent)
{
    return std::make_unique<TfrmKorvex>(parent);
}

TfrmKorvex::TfrmKorvex(platform::WindowHandle) {}

TfrmKorvex::~TfrmKorvex() = default;

void TfrmKorvex::AttachToView(platform::WindowHandle view)
{
    m_viewWindow = view;
    m_scriptsFolder.prepare();
}

void TfrmKorvex::showModal() {}

void TfrmKorvex::endShowing() {}

bool TfrmKorvex::isShown() const
{
    return false;
}
