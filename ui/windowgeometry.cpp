#include "windowgeometry.h"

#include <algorithm>
#include <cmath>

namespace WindowGeometry {

QPoint centredTopLeft(const QRect &available, const QSize &outerSize)
{
    const float top = available.top() + (available.height() - outerSize.height()) / 2.0f;
    const float left = available.left() + (available.width() - outerSize.width()) / 2.0f;
    return {int(std::lround(left)), int(std::lround(top))};
}

bool mustRestoreSize(Qt::WindowStates state, const QSize &current, const QSize &fixed)
{
    if (state & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return false;
    return current != fixed;
}

QPoint clearOf(const QRect &window, const QRect &match, const QRect &screen)
{
    constexpr int kGap = 8;
    if (!window.intersects(match))
        return window.topLeft();
    const int below = match.bottom() + 1 + kGap;
    const int above = match.top() - kGap - window.height();
    const int roomBelow = screen.bottom() + 1 - (below + window.height());
    const int roomAbove = above - screen.top();
    if (roomBelow >= 0 || roomBelow >= roomAbove)
        return {window.left(), roomBelow >= 0 ? below : screen.bottom() + 1 - window.height()};
    return {window.left(), std::max(above, screen.top())};
}

} // namespace WindowGeometry
