// The main-frame walk is internal to the library, so it is tested through OnCommand's effect:
// the window's parent widget is the one behind the frame's parent handle.
#include "platform/qt/windowregistry.h"
#include "pluginfixture.h"

#include <QApplication>
#include <QMainWindow>

TEST_F(PluginFixture, WalkStopsAtTheFirstMainFrameAndUsesItsParent)
{
    QMainWindow outer;
    const platform::WindowHandle outerHandle =
        platform::createWindow("PlintharOuter", nullptr, {}, &outer);
    const platform::WindowHandle inner =
        platform::createWindow("PlintharMainFrame3", outerHandle, {});
    const platform::WindowHandle middle = platform::createWindow("PlintharMainFrame3", inner, {});
    const platform::WindowHandle nested = platform::createWindow("PlintharView", middle, {});
    QWidget *parentSeen = reinterpret_cast<QWidget *>(1);
    whenShown([&](QDialog *w) {
        parentSeen = w->parentWidget();
        w->close();
    });
    korvex.OnCommand(nested);
    // middle is the first match counting from the view; its parent is inner, a widgetless
    // window, so the Korvex window has no parent widget.
    EXPECT_EQ(parentSeen, nullptr);
    korvex.OnEvents(nested, EVT_RELEASE, 0);

    // A view right under the outer frame's child frame: the frame's parent backs a widget.
    const platform::WindowHandle direct = platform::createWindow("PlintharView", inner, {});
    whenShown([&](QDialog *w) {
        parentSeen = w->parentWidget();
        w->close();
    });
    korvex.OnCommand(direct);
    EXPECT_EQ(parentSeen, &outer);
    korvex.OnEvents(direct, EVT_RELEASE, 0);
    for (auto h : {direct, nested, middle, inner, outerHandle})
        platform::destroyWindow(h);
}

TEST_F(PluginFixture, ClassNamesAreComparedWholeAndCaseSensitively)
{
    const char *const lookalikes[] = {"plintharmainframe3", "PlintharMainFrame",
                                      "PlintharMainFrame34",
                                      "PlintharMainFrame3 with a class name longer than 31"};
    for (const char *name : lookalikes) {
        const platform::WindowHandle top = platform::createWindow(name, nullptr, {});
        const platform::WindowHandle v = platform::createWindow("PlintharView", top, {});
        korvex.OnCommand(v);
        EXPECT_EQ(korvexWindow(), nullptr) << name;
        platform::destroyWindow(v);
        platform::destroyWindow(top);
    }
}
