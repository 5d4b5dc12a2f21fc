#include "scriptwindow.h"

#include <algorithm>

ScriptWindow::Position ScriptWindow::placeOver(const platform::Rect &view, int width, int height)
{
    // Integer division truncating toward zero, as the centre and the half sizes are computed.
    const int x = (view.left + view.right) / 2;
    const int y = (view.top + view.bottom) / 2;
    return Position{std::max(0, x - width / 2), std::max(0, y - height / 2)};
}
