#pragma once

#include <functional>

#include "filedialog.h"
#include "runtimeservices.h"
#include "stdstrings.h"

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
        shown.append({kind, qtstd::string(DialogTitle), qtstd::string(Filter),
                      qtstd::fileName(InitDir), Flags});
        const QString chosen = choices.isEmpty() ? QString() : choices.takeFirst();
        if (chosen.isEmpty())
            return false;
        FileName = qtstd::path(chosen);
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
    Answer askYesNo(std::u16string_view prompt, std::u16string_view title) override
    {
        asked.append({qtstd::string(prompt), qtstd::string(title)});
        if (whileAsking)
            whileAsking();
        return answers.isEmpty() ? kNo : answers.takeFirst();
    }
    std::filesystem::path currentDir() const override { return qtstd::path(workingDir); }
    void endProgram() override { ++ended; }
    void showSaveFailure(std::u16string_view fileName, std::u16string_view reason) override
    {
        spokeOverWork |= workOpen > 0;
        failures.append(qtstd::string(fileName) + ": " + qtstd::string(reason));
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
    Answer askSaveOver(std::u16string_view file, DiskNews why, std::u16string_view said) override
    {
        const QHash<DiskNews, const char *> kWhy{{DiskNews::Changed, "save over"},
                                                 {DiskNews::NotRead, "save over unread"},
                                                 {DiskNews::NowLink, "save over link"},
                                                 {DiskNews::Created, "save over created"},
                                                 {DiskNews::Unreadable, "save over unreadable"}};
        const char *const joint = why == DiskNews::NowLink ? " -> " : ": ";
        const QString fileName = qtstd::string(file), detail = qtstd::string(said);
        return diskAnswer(kWhy.value(why, "asked for no reason"),
                          fileName + (detail.isEmpty() ? "" : joint + detail));
    }
    Answer askReload(std::u16string_view file) override
    {
        return diskAnswer("reload", qtstd::string(file));
    }
    Answer askReloadFromLink(std::u16string_view file, std::u16string_view target,
                             bool unsaved) override
    {
        return diskAnswer(unsaved ? "reload unsaved from link" : "reload from link",
                          qtstd::string(file) + " -> " + qtstd::string(target));
    }
    QStringList loadFailures; // "source: reason"
    void showLoadFailure(std::u16string_view source, std::u16string_view reason) override
    {
        loadFailures.append(qtstd::string(source) + ": " + qtstd::string(reason));
    }
    void tellDeleted(std::u16string_view file) override
    {
        diskAnswer("deleted", qtstd::string(file));
    }
    void tellNotReloaded(std::u16string_view what) override
    {
        diskAnswer("not reloaded", qtstd::string(what));
    }

    QStringList work;        // "Loading ...", "100%", "end"
    QList<double> progress;  // every fraction told
    QList<qint64> readSoFar; // every count of a whole not known
    // A question or a failure told while the progress still showed.
    bool spokeOverWork = false;
    int workOpen = 0;
    void beginWork(std::u16string_view what) override
    {
        ++workOpen;
        work.append(qtstd::string(what));
    }
    void beginWaiting(std::u16string_view what) override
    {
        ++workOpen;
        work.append("waiting: " + qtstd::string(what));
    }
    void workProgress(std::int64_t done, std::int64_t total) override
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
    void tell(std::u16string_view notice) override { notices.append(qtstd::string(notice)); }
};
