#include "shortcuts.h"

#include "filecommands.h"

bool runShortcut(KeyCommand command, FileCommands &commands, const WindowShortcuts &window)
{
    switch (command) {
    case KeyCommand::None:
        return false;
    case KeyCommand::Quicksave:
        commands.Quicksave();
        break;
    case KeyCommand::Quickload:
        commands.Quickload();
        break;
    case KeyCommand::Exit:
        commands.Exit();
        break;
    case KeyCommand::Find:
    case KeyCommand::Replace:
        window.find(command == KeyCommand::Replace);
        break;
    case KeyCommand::FindNext:
    case KeyCommand::FindPrevious:
        window.findAgain(command == KeyCommand::FindPrevious);
        break;
    case KeyCommand::Redo:
        return window.redo();
    }
    // Handled here: the focused control would only move the caret, or take
    // the key as a character (Ctrl+H as a backspace).
    return true;
}
