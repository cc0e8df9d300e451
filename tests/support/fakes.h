#pragma once

#include "filedialog.h"
#include "runtimeservices.h"
#include "stdtext.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// (Everything the fakes note down is UTF-8, as the tests write their texts.)

// A file dialog that answers with the names queued in choices (an empty
// name, or none left: cancelled, FileName kept) and remembers how it was set
// up each time it was shown.
class FakeDialog : public FileDialog {
public:
    struct Shown {
        std::string kind, title, filter;
        std::filesystem::path initDir;
        int flags;
    };
    std::deque<std::filesystem::path> choices;
    std::vector<Shown> shown;

    bool ShowOpen() override { return show("open"); }
    bool ShowSave() override { return show("save"); }

private:
    bool show(const char *kind)
    {
        shown.push_back({kind, said(DialogTitle), said(Filter), InitDir, Flags});
        if (choices.empty())
            return false;
        const std::filesystem::path chosen = choices.front();
        choices.pop_front();
        if (chosen.empty())
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
        std::string prompt, title;
    };
    std::deque<Answer> answers;
    std::vector<Asked> asked;
    std::filesystem::path workingDir;
    int ended = 0;
    std::vector<std::string> failures; // "file: reason"

    std::function<void()> whileAsking; // runs while the prompt is open
    Answer askYesNo(std::u16string_view prompt, std::u16string_view title) override
    {
        asked.push_back({said(prompt), said(title)});
        if (whileAsking)
            whileAsking();
        return next(answers, kNo);
    }
    std::filesystem::path currentDir() const override { return workingDir; }
    void endProgram() override { ++ended; }
    void showSaveFailure(std::u16string_view file, std::u16string_view reason) override
    {
        spokeOverWork |= workOpen > 0;
        failures.push_back(said(file) + ": " + said(reason));
    }

    // Questions about another program's changes: "save over", "reload",
    // "deleted", each with the file; answered from diskAnswers (Cancel when
    // none is left).
    std::vector<std::string> diskQuestions;
    std::deque<Answer> diskAnswers;
    Answer diskAnswer(const std::string &what, const std::string &file)
    {
        spokeOverWork |= workOpen > 0;
        diskQuestions.push_back(what + ": " + file);
        return next(diskAnswers, kCancel);
    }
    Answer askSaveOver(std::u16string_view file, DiskNews why, std::u16string_view detail) override
    {
        const char *asked = "asked for no reason";
        switch (why) {
        case DiskNews::Changed:
            asked = "save over";
            break;
        case DiskNews::NotRead:
            asked = "save over unread";
            break;
        case DiskNews::NowLink:
            asked = "save over link";
            break;
        case DiskNews::Created:
            asked = "save over created";
            break;
        case DiskNews::Unreadable:
            asked = "save over unreadable";
            break;
        default:
            break;
        }
        const char *const joint = why == DiskNews::NowLink ? " -> " : ": ";
        return diskAnswer(asked, said(file) + (detail.empty() ? "" : joint + said(detail)));
    }
    Answer askReload(std::u16string_view file) override { return diskAnswer("reload", said(file)); }
    Answer askReloadFromLink(std::u16string_view file, std::u16string_view target,
                             bool unsaved) override
    {
        return diskAnswer(unsaved ? "reload unsaved from link" : "reload from link",
                          said(file) + " -> " + said(target));
    }
    std::vector<std::string> loadFailures; // "source: reason"
    void showLoadFailure(std::u16string_view source, std::u16string_view reason) override
    {
        loadFailures.push_back(said(source) + ": " + said(reason));
    }
    void tellDeleted(std::u16string_view file) override { diskAnswer("deleted", said(file)); }
    void tellNotReloaded(std::u16string_view what) override
    {
        diskAnswer("not reloaded", said(what));
    }

    std::vector<std::string> work;       // "Loading ...", "100%", "end"
    std::vector<double> progress;        // every fraction told
    std::vector<std::int64_t> readSoFar; // every count of a whole not known
    // A question or a failure told while the progress still showed.
    bool spokeOverWork = false;
    int workOpen = 0;
    void beginWork(std::u16string_view what) override
    {
        ++workOpen;
        work.push_back(said(what));
    }
    void beginWaiting(std::u16string_view what) override
    {
        ++workOpen;
        work.push_back("waiting: " + said(what));
    }
    void workProgress(std::int64_t done, std::int64_t total) override
    {
        if (total < 0) {
            readSoFar.push_back(done);
            return;
        }
        progress.push_back(total > 0 ? double(done) / double(total) : 0.0);
        if (done == total)
            work.push_back("100%");
    }
    void endWork() override
    {
        --workOpen;
        work.push_back("end");
    }
    std::vector<std::string> notices;
    void tell(std::u16string_view notice) override { notices.push_back(said(notice)); }

private:
    static Answer next(std::deque<Answer> &queue, Answer otherwise)
    {
        if (queue.empty())
            return otherwise;
        const Answer answer = queue.front();
        queue.pop_front();
        return answer;
    }
};
