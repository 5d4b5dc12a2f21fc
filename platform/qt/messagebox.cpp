#include "platform/qt/messageboxhook.h"
#include "platform/qt/windowregistry.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <mutex>

namespace platform {

namespace {

struct HookSlot
{
    std::mutex mutex;
    MessageBoxHook hook;
};

HookSlot &hookSlot()
{
    static HookSlot slot;
    return slot;
}

} // namespace

MessageBoxResult messageBox(WindowHandle owner, const std::string &text, const std::string &caption,
                            MessageBoxStyle style)
{
    MessageBoxHook hook;
    {
        HookSlot &slot = hookSlot();
        std::lock_guard lock(slot.mutex);
        hook = slot.hook;
    }
    if (hook)
        return hook(owner, text, caption, style);

    // Without a GUI there is nobody to ask: answer the choice that changes nothing.
    if (qobject_cast<QApplication *>(QCoreApplication::instance()) == nullptr)
        return style == MessageBoxStyle::YesNoQuestion ? MessageBoxResult::No
                                                       : MessageBoxResult::Ok;

    QWidget *parent = widgetOf(owner);
    const QString qtext = QString::fromLocal8Bit(text);
    const QString qcaption = QString::fromLocal8Bit(caption);
    if (style == MessageBoxStyle::YesNoQuestion) {
        const auto answer =
            QMessageBox::question(parent, qcaption, qtext, QMessageBox::Yes | QMessageBox::No);
        return answer == QMessageBox::Yes ? MessageBoxResult::Yes : MessageBoxResult::No;
    }
    QMessageBox::critical(parent, qcaption, qtext, QMessageBox::Ok);
    return MessageBoxResult::Ok;
}

MessageBoxHook setMessageBoxHook(MessageBoxHook hook)
{
    HookSlot &slot = hookSlot();
    std::lock_guard lock(slot.mutex);
    std::swap(slot.hook, hook);
    return hook;
}

} // namespace platform
