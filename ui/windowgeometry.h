#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>

// Where the window opens and when its size is put back.
namespace WindowGeometry {

// Top left corner that centres a window of the given outer size in the area.
QPoint centredTopLeft(const QRect &available, const QSize &outerSize);

// True when the window shows normally (not minimised, maximised or full
// screen) at a size other than the fixed one. Setting a size the window
// already has is never asked for, so the size handler cannot loop.
bool mustRestoreSize(Qt::WindowStates state, const QSize &current, const QSize &fixed);

// Top left corner for a window (its outer rectangle) that leaves the match
// in view: where it is when it does not cover the match, else straight below
// the match, or above it where the screen has no room below.
QPoint clearOf(const QRect &window, const QRect &match, const QRect &screen);

} // namespace WindowGeometry
