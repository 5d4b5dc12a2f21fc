#include "platform/qt/windowregistry.h"

#include "platform/textbytes.h"

#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

// What a window handle points at on Linux, opaque to everything but this file.
struct PlintharWindowStruct
{
    std::string className;
    platform::WindowHandle parent = nullptr;
    QRect rect;
    platform::MessageProc proc;
    QPointer<QWidget> widget;
};

namespace platform {

using Window = PlintharWindowStruct;

namespace {

// The process-wide handle table. Handles are the addresses of its entries, so a stale handle
// is recognised by looking it up rather than by dereferencing it.
struct Registry
{
    std::recursive_mutex mutex;
    std::unordered_map<const Window *, std::unique_ptr<Window>> windows;

    Window *find(WindowHandle handle)
    {
        const auto it = windows.find(handle);
        return it == windows.end() ? nullptr : it->second.get();
    }
};

Registry &registry()
{
    static Registry instance;
    return instance;
}

} // namespace

WindowHandle createWindow(std::string_view className, WindowHandle parent, MessageProc proc,
                          QWidget *widget)
{
    Registry &reg = registry();
    std::lock_guard lock(reg.mutex);
    auto window = std::make_unique<Window>();
    window->className = std::string(className);
    window->parent = reg.find(parent);
    window->proc = std::move(proc);
    window->widget = widget;
    Window *handle = window.get();
    reg.windows.emplace(handle, std::move(window));
    return handle;
}

void destroyWindow(WindowHandle window)
{
    Registry &reg = registry();
    std::unique_ptr<Window> doomed;
    {
        std::lock_guard lock(reg.mutex);
        const auto it = reg.windows.find(window);
        if (it == reg.windows.end())
            return;
        doomed = std::move(it->second);
        reg.windows.erase(it);
        for (auto &[key, other] : reg.windows) {
            if (other->parent == window)
                other->parent = nullptr;
        }
    }
    // The procedure may own objects whose destructors call back into the registry.
    doomed.reset();
}

bool isWindow(WindowHandle window)
{
    Registry &reg = registry();
    std::lock_guard lock(reg.mutex);
    return reg.find(window) != nullptr;
}

int getClassName(WindowHandle window, char *buffer, int maxCount)
{
    if (buffer == nullptr || maxCount < 1)
        return 0;
    Registry &reg = registry();
    std::lock_guard lock(reg.mutex);
    const Window *w = reg.find(window);
    if (w == nullptr) {
        buffer[0] = '\0';
        return 0;
    }
    return int(copyTerminated(w->className, buffer, std::size_t(maxCount)));
}

WindowHandle getParent(WindowHandle window)
{
    Registry &reg = registry();
    std::lock_guard lock(reg.mutex);
    const Window *w = reg.find(window);
    return w == nullptr ? nullptr : w->parent;
}

Rect getWindowRect(WindowHandle window)
{
    Registry &reg = registry();
    std::lock_guard lock(reg.mutex);
    const Window *w = reg.find(window);
    if (w == nullptr)
        return {};
    if (const QWidget *widget = w->widget.data()) {
        if (widget->isWindow())
            return fromQRect(widget->frameGeometry());
        return fromQRect(QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()));
    }
    return fromQRect(w->rect);
}

void setWindowRect(WindowHandle window, const QRect &rect)
{
    Registry &reg = registry();
    std::lock_guard lock(reg.mutex);
    if (Window *w = reg.find(window))
        w->rect = rect;
}

LResult sendMessage(WindowHandle window, MessageId message, WParam wParam, LParam lParam)
{
    MessageProc proc;
    {
        Registry &reg = registry();
        std::lock_guard lock(reg.mutex);
        const Window *w = reg.find(window);
        if (w == nullptr || !w->proc)
            return 0;
        // A copy, so the procedure may destroy its own window while it runs.
        proc = w->proc;
    }
    return proc(window, message, wParam, lParam);
}

QWidget *widgetOf(WindowHandle window)
{
    Registry &reg = registry();
    std::lock_guard lock(reg.mutex);
    const Window *w = reg.find(window);
    return w == nullptr ? nullptr : w->widget.data();
}

WindowHandle handleOf(const QWidget *widget)
{
    if (widget == nullptr)
        return nullptr;
    Registry &reg = registry();
    std::lock_guard lock(reg.mutex);
    for (const auto &[key, w] : reg.windows) {
        if (w->widget.data() == widget)
            return w.get();
    }
    return nullptr;
}

} // namespace platform
