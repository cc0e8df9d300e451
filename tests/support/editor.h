#pragma once

#include "fakes.h"
#include "filecommands.h"
#include "plainhost.h"
#include "tempdir.h"

#include <string>
#include <string_view>

// The commands with a plain document, a fake dialog and fake services, in a
// folder of their own (the working directory Quickload reads from).
struct Editor {
    TempDir dir;
    PlainDocument d;
    FakeDialog dialog;
    FakeServices services;
    FileCommands commands{d.document, dialog, services};

    explicit Editor(int codePage = 1252) : d(codePage)
    {
        services.workingDir = dir.path();
        d.document.Reset();
    }
    std::filesystem::path path(std::string_view name) const { return dir / name; }
    const std::u16string &text() const { return d.host.textValue; }
    const std::u16string &title() const { return d.host.titleValue; }
    bool marked() const { return title() == PlainHost::kMarked; }
    void type(std::u16string_view more) { d.host.setText(text() + std::u16string(more)); }
    void loadQuickFile(std::string_view bytes)
    {
        writeFile(path("news.txt"), bytes);
        commands.Quickload();
    }
};
