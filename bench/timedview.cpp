#include "timedview.h"

#include "benchclock.h"
#include "platform/qt/windowregistry.h"

TimedView::TimedView()
    : m_frame(
          platform::createWindow("PlintharMainFrame3", nullptr,
                                 [](platform::WindowHandle, platform::MessageId, platform::WParam,
                                    platform::LParam) { return platform::LResult(0); })),
      m_view(m_frame)
{
    m_view.resize(800, 600);
    m_viewHandle =
        platform::createWindow("PlintharView", m_frame,
                               [this](platform::WindowHandle, platform::MessageId message,
                                      platform::WParam wParam, platform::LParam lParam) {
                                   const double start = BenchClock::now();
                                   const platform::LResult result =
                                       m_view.answerViewMessage(message, wParam, lParam);
                                   m_hostSeconds += BenchClock::now() - start;
                                   return result;
                               });
    platform::setWindowRect(m_viewHandle, QRect(0, 0, 800, 600));
}

TimedView::~TimedView()
{
    platform::destroyWindow(m_viewHandle);
    platform::destroyWindow(m_frame);
}

void TimedView::setDocument(const std::string &bytes)
{
    m_view.loadBytes(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

void TimedView::selectAll()
{
    m_view.selectAll();
}
