#include "modalshowing.h"

#include "window/toolkittexts.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <stdexcept>
#include <vector>

namespace ModalShowing {

void exec(QDialog &window)
{
    if (window.isVisible())
        throw std::runtime_error(ToolkitTexts::alreadyVisible());

    const QPointer<QWidget> previouslyActive = QApplication::activeWindow();
    std::vector<QPointer<QWidget>> disabled;
    for (QWidget *other : QApplication::topLevelWidgets()) {
        if (other != &window && other->isVisible() && other->isEnabled()) {
            other->setEnabled(false);
            disabled.emplace_back(other);
        }
    }

    const QPointer<QDialog> guard = &window;
    window.exec();

    for (const QPointer<QWidget> &other : disabled) {
        if (other)
            other->setEnabled(true);
    }
    const bool stillActive = guard && QApplication::activeWindow() == guard.data();
    if (previouslyActive && (stillActive || !guard || !QApplication::activeWindow()))
        previouslyActive->activateWindow();
}

} // namespace ModalShowing
