#include "keycommands.h"

#include <doctest/doctest.h>

#include <string>

// Which key is which command: the key, the modifiers held (C S A M: Ctrl,
// Shift, Alt, Meta) and the command.
TEST_CASE("the window's shortcuts")
{
    struct Row {
        Key key;
        const char *held;
        KeyCommand command;
    } const rows[] = {
        {Key::S, "C", KeyCommand::Quicksave}, {Key::L, "C", KeyCommand::Quickload},
        {Key::E, "C", KeyCommand::Exit},      {Key::F, "C", KeyCommand::Find},
        {Key::H, "C", KeyCommand::Replace},   {Key::Y, "C", KeyCommand::Redo},
        {Key::F3, "", KeyCommand::FindNext},  {Key::F3, "S", KeyCommand::FindPrevious},
        {Key::F3, "C", KeyCommand::None},     {Key::F3, "A", KeyCommand::None},
        {Key::S, "CS", KeyCommand::None},     {Key::L, "CA", KeyCommand::None},
        {Key::S, "A", KeyCommand::None},      {Key::S, "", KeyCommand::None},
        {Key::E, "CM", KeyCommand::None},     {Key::Other, "C", KeyCommand::None},
        {Key::Y, "CS", KeyCommand::None},
    };
    for (const Row &row : rows) {
        const std::string held = row.held;
        const KeyModifiers modifiers{held.find('C') != held.npos, held.find('S') != held.npos,
                                     held.find('A') != held.npos, held.find('M') != held.npos};
        CAPTURE(int(row.key));
        CAPTURE(held);
        CHECK(commandForKey(row.key, modifiers) == row.command);
    }
    // Nothing held unless said.
    CHECK(commandForKey(Key::F3, {}) == KeyCommand::FindNext);
    CHECK(commandForKey(Key::S, {.control = true}) == KeyCommand::Quicksave);
}
