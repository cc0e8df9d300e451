#include "keycommands.h"

KeyCommand commandForKey(Key key, KeyModifiers held)
{
    if (held.alt || held.meta)
        return KeyCommand::None;
    if (key == Key::F3 && !held.control)
        return held.shift ? KeyCommand::FindPrevious : KeyCommand::FindNext;
    if (!held.control || held.shift)
        return KeyCommand::None;
    switch (key) {
    case Key::S:
        return KeyCommand::Quicksave;
    case Key::L:
        return KeyCommand::Quickload;
    case Key::E:
        return KeyCommand::Exit;
    case Key::F:
        return KeyCommand::Find;
    case Key::H:
        return KeyCommand::Replace;
    case Key::Y:
        return KeyCommand::Redo;
    default:
        return KeyCommand::None;
    }
}
