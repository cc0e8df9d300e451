#pragma once

#include "filecommands.h"
#include "files.h"
#include "qtfakes.h"
#include "qtplainhost.h"

#include <QTemporaryDir>

// The commands with a plain document, a fake dialog and fake services, in a
// working directory of their own.
struct Editor {
    QTemporaryDir dir;
    PlainDocument d;
    FakeDialog dialog;
    FakeServices services;
    FileCommands commands{d.document, dialog, services};

    Editor()
    {
        services.workingDir = dir.path();
        d.document.Reset();
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QString text() const { return d.host.textValue; }
    QString title() const { return d.host.titleValue; }
    void type(const QString &text) { d.host.setText(d.host.textValue + text); }
    void loadQuickFile(const QByteArray &bytes)
    {
        writeBytes(path("news.txt"), bytes);
        commands.Quickload();
    }
};
