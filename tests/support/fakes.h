#pragma once

#include <functional>

#include "filedialog.h"
#include "runtimeservices.h"

#include <QHash>
#include <QList>
#include <QStringList>

// A file dialog that answers with the names queued in choices ("" or none
// left: cancelled, FileName kept) and remembers how it was set up each time
// it was shown.
class FakeDialog : public FileDialog {
public:
    struct Shown {
        QString kind, title, filter, initDir;
        int flags;
    };
    QStringList choices;
    QList<Shown> shown;

    bool ShowOpen() override { return show("open"); }
    bool ShowSave() override { return show("save"); }

private:
    bool show(const QString &kind)
    {
        shown.append({kind, DialogTitle, Filter, InitDir, Flags});
        const QString chosen = choices.isEmpty() ? QString() : choices.takeFirst();
        if (chosen.isEmpty())
            return false;
        FileName = chosen;
        return true;
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

    std::function<void()> whileAsking; // runs while the prompt is open
    Answer askYesNo(const QString &prompt, const QString &title) override
    {
        asked.append({prompt, title});
        if (whileAsking)
            whileAsking();
        return answers.isEmpty() ? kNo : answers.takeFirst();
    }
    QString currentDir() const override { return workingDir; }
    void endProgram() override { ++ended; }
    void showSaveFailure(const QString &fileName, const QString &reason) override
    {
        spokeOverWork |= workOpen > 0;
        failures.append(fileName + ": " + reason);
    }

    // Questions about another program's changes: "save over", "reload",
    // "deleted", each with the file; answered from diskAnswers (Cancel when
    // none is left).
    QStringList diskQuestions;
    QList<Answer> diskAnswers;
    Answer diskAnswer(const QString &what, const QString &fileName)
    {
        spokeOverWork |= workOpen > 0;
        diskQuestions.append(what + ": " + fileName);
        return diskAnswers.isEmpty() ? kCancel : diskAnswers.takeFirst();
    }
    Answer askSaveOver(const QString &fileName, DiskNews why, const QString &detail) override
    {
        const QHash<DiskNews, const char *> kWhy{{DiskNews::Changed, "save over"},
                                                 {DiskNews::NotRead, "save over unread"},
                                                 {DiskNews::NowLink, "save over link"},
                                                 {DiskNews::Created, "save over created"},
                                                 {DiskNews::Unreadable, "save over unreadable"}};
        const char *const joint = why == DiskNews::NowLink ? " -> " : ": ";
        return diskAnswer(kWhy.value(why, "asked for no reason"),
                          fileName + (detail.isEmpty() ? "" : joint + detail));
    }
    Answer askReload(const QString &fileName) override { return diskAnswer("reload", fileName); }
    Answer askReloadFromLink(const QString &fileName, const QString &target, bool unsaved) override
    {
        return diskAnswer(unsaved ? "reload unsaved from link" : "reload from link",
                          fileName + " -> " + target);
    }
    QStringList loadFailures; // "source: reason"
    void showLoadFailure(const QString &source, const QString &reason) override
    {
        loadFailures.append(source + ": " + reason);
    }
    void tellDeleted(const QString &fileName) override { diskAnswer("deleted", fileName); }
    void tellNotReloaded(const QString &what) override { diskAnswer("not reloaded", what); }

    QStringList work;        // "Loading ...", "100%", "end"
    QList<double> progress;  // every fraction told
    QList<qint64> readSoFar; // every count of a whole not known
    // A question or a failure told while the progress still showed.
    bool spokeOverWork = false;
    int workOpen = 0;
    void beginWork(const QString &what) override
    {
        ++workOpen;
        work.append(what);
    }
    void beginWaiting(const QString &what) override
    {
        ++workOpen;
        work.append("waiting: " + what);
    }
    void workProgress(qint64 done, qint64 total) override
    {
        if (total < 0) {
            readSoFar.append(done);
            return;
        }
        progress.append(total > 0 ? double(done) / double(total) : 0.0);
        if (done == total)
            work.append("100%");
    }
    void endWork() override
    {
        --workOpen;
        work.append("end");
    }
    QStringList notices;
    void tell(const QString &notice) override { notices.append(notice); }
};
