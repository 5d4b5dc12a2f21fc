#include "testview.h"

#include "platform/qt/windowregistry.h"

TestView::TestView()
{
    m_handle = platform::createWindow("PlintharTestView", nullptr,
                                      [this](platform::WindowHandle, platform::MessageId id,
                                             platform::WParam w,
                                             platform::LParam l) { return answer(id, w, l); });
    platform::setWindowRect(m_handle, QRect(100, 100, 400, 300));
}

TestView::~TestView()
{
    platform::destroyWindow(m_handle);
}
