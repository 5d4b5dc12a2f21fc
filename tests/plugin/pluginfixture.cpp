#include "pluginfixture.h"
#include "platform/qt/messageboxhook.h"
#include "platform/qt/windowregistry.h"

#include <QApplication>
#include <QTimer>
#include <dlfcn.h>

void PluginFixture::SetUp()
{
    savedHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    library = dlopen(KORVEX_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    ASSERT_EQ(korvex.resolve([this](const char *name) { return dlsym(library, name); }), nullptr);

    auto record = [this](platform::WindowHandle, platform::MessageId id, platform::WParam w,
                         platform::LParam) {
        sent.push_back({id, w});
        return platform::LResult(0);
    };
    frame = platform::createWindow("PlintharMainFrame3", nullptr, record);
    view = platform::createWindow("PlintharView", frame, record);
    platform::setWindowRect(view, QRect(0, 0, 800, 600));
    savedHook = platform::setMessageBoxHook([this](platform::WindowHandle, const std::string &text,
                                                   const std::string &, platform::MessageBoxStyle) {
        boxes.push_back(text);
        return boxAnswer;
    });
}

void PluginFixture::TearDown()
{
    if (korvex.OnEvents)
        korvex.OnEvents(view, EVT_RELEASE, 0);
    platform::setMessageBoxHook(savedHook);
    platform::destroyWindow(view);
    platform::destroyWindow(frame);
    // The library stays loaded: its window and the interpreter live for the process.
    qputenv("HOME", savedHome);
}

QDialog *PluginFixture::korvexWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == "frmKorvex")
            return qobject_cast<QDialog *>(w);
    return nullptr;
}

void PluginFixture::whenShown(std::function<void(QDialog *)> action)
{
    auto *poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action] {
        QDialog *window = korvexWindow();
        if (window && window->isVisible()) {
            poll->deleteLater();
            poll->stop();
            action(window);
        }
    });
    poll->start(5);
}
