#pragma once

#include <QtGlobal>

// Texts the program shows in more than one place, and that its tests look for.
namespace Texts {

// The window's title, without the mark of unsaved text.
inline constexpr char kPlainTitle[] = "Orbitane Heraldpad 1.3";
// What the text shows when a file could not be loaded.
inline constexpr char kLoadError[] = QT_TRANSLATE_NOOP("FileCommands", "Error while opening file");

} // namespace Texts
