#include "platform/modalshowing.h"

#include "platform/qt/windowregistry.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <vector>

namespace platform {

struct ModalShowing::Others
{
    WindowHandle shown = nullptr;
    QPointer<QWidget> previouslyActive;
    std::vector<QPointer<QWidget>> disabled;
};

ModalShowing::ModalShowing(WindowHandle shown) : m_others(std::make_unique<Others>())
{
    m_others->shown = shown;
    m_others->previouslyActive = QApplication::activeWindow();
    const QWidget *const window = widgetOf(shown);
    for (QWidget *other : QApplication::topLevelWidgets()) {
        if (other != window && other->isVisible() && other->isEnabled()) {
            other->setEnabled(false);
            m_others->disabled.emplace_back(other);
        }
    }
}

ModalShowing::~ModalShowing()
{
    for (const QPointer<QWidget> &other : m_others->disabled) {
        if (other)
            other->setEnabled(true);
    }
    const QWidget *const window = widgetOf(m_others->shown);
    const QWidget *const active = QApplication::activeWindow();
    if (m_others->previouslyActive && (!window || !active || active == window))
        m_others->previouslyActive->activateWindow();
}

} // namespace platform
