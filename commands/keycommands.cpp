#include "keycommands.h"

KeyCommand commandForKey(int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers held =
        modifiers & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
    if (held != Qt::ControlModifier)
        return KeyCommand::None;
    if (key == Qt::Key_S)
        return KeyCommand::Quicksave;
    if (key == Qt::Key_L)
        return KeyCommand::Quickload;
    if (key == Qt::Key_E)
        return KeyCommand::Exit;
    return KeyCommand::None;
}
