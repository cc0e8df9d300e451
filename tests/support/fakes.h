#pragma once

#include "filedialog.h"
#include "runtimeservices.h"

#include <QList>
#include <QStringList>

// A file dialog that answers with the names queued in choices ("" cancels)
// and remembers how it was set up each time it was shown.
class FakeDialog : public FileDialog {
public:
    struct Shown {
        QString kind, title, filter, initDir;
        int flags;
    };
    QStringList choices;
    QList<Shown> shown;

    void ShowOpen() override { show("open"); }
    void ShowSave() override { show("save"); }

private:
    void show(const QString &kind)
    {
        shown.append({kind, DialogTitle, Filter, InitDir, Flags});
        FileName = choices.isEmpty() ? QString() : choices.takeFirst();
    }
};

constexpr auto kYes = RuntimeServices::Answer::Yes;
constexpr auto kNo = RuntimeServices::Answer::No;
constexpr auto kCancel = RuntimeServices::Answer::Cancel;

// Answers queued in answers (No when none is left); remembers every prompt.
class FakeServices : public RuntimeServices {
public:
    struct Asked {
        QString prompt, title;
    };
    QList<Answer> answers;
    QList<Asked> asked;
    QString workingDir;
    int ended = 0;
    QStringList failures; // "file: reason"

    Answer askYesNo(const QString &prompt, const QString &title) override
    {
        asked.append({prompt, title});
        return answers.isEmpty() ? kNo : answers.takeFirst();
    }
    QString currentDir() const override { return workingDir; }
    void endProgram() override { ++ended; }
    void showSaveFailure(const QString &fileName, const QString &reason) override
    {
        failures.append(fileName + ": " + reason);
    }

    QStringList work; // "Loading ...", "100%", "end"
    void beginWork(const QString &what) override { work.append(what); }
    void workProgress(qint64 done, qint64 total) override
    {
        if (done == total)
            work.append("100%");
    }
    void endWork() override { work.append("end"); }
};
