#pragma once

#include <QFont>
#include <QStringList>

// The program's default font, chosen so that the window looks as its layout
// was drawn: a sans-serif with Arial's widths (Liberation Sans) at 8 pt.
namespace WindowFont {

constexpr const char *kFamily = "Liberation Sans";
constexpr qreal kPointSize = 8;

// The font for the whole program. Without Liberation Sans: the toolkit's
// default face, made small enough that each of lines fits within width pixels
// (never smaller than 6 pt).
QFont choose(const QFont &toolkitDefault, const QStringList &lines, int width);

} // namespace WindowFont
