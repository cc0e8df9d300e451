#include "keycommands.h"

KeyCommand commandForKey(int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers held =
        modifiers & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
    if (key == Qt::Key_F3 && held == Qt::NoModifier)
        return KeyCommand::FindNext;
    if (key == Qt::Key_F3 && held == Qt::ShiftModifier)
        return KeyCommand::FindPrevious;
    if (held != Qt::ControlModifier)
        return KeyCommand::None;
    if (key == Qt::Key_S)
        return KeyCommand::Quicksave;
    if (key == Qt::Key_L)
        return KeyCommand::Quickload;
    if (key == Qt::Key_E)
        return KeyCommand::Exit;
    if (key == Qt::Key_F)
        return KeyCommand::Find;
    if (key == Qt::Key_H)
        return KeyCommand::Replace;
    if (key == Qt::Key_Y)
        return KeyCommand::Redo;
    return KeyCommand::None;
}
