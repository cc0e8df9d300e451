#include "windowgeometry.h"

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

} // namespace WindowGeometry
