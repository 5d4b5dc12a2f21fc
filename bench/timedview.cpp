#include "timedview.h"

#include "benchclock.h"
#include "platform/qt/windowregistry.h"

#include <QTextCursor>

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
                                       m_view.handleMessage(message, wParam, lParam);
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

void TimedView::setDocument(const std::string &utf8)
{
    QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_view.setPlainText(text);
    m_view.moveCursor(QTextCursor::Start);
}

void TimedView::selectAll()
{
    m_view.selectAll();
}
