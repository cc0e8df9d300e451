#pragma once

#include "currentfile.h"

#include <cstdint>
#include <filesystem>
#include <string_view>

// What the file commands need of the running program besides the document and
// the file dialog. Every text, file names included, is given as the writer
// reads it (file names as shownName() shows them).
class RuntimeServices {
public:
    virtual ~RuntimeServices() = default;

    // Cancel: the box was closed by Escape or its frame, without an answer.
    enum class Answer { Yes, No, Cancel };

    // A modal box with the buttons Yes and No, Yes the default, no icon.
    virtual Answer askYesNo(std::u16string_view prompt, std::u16string_view title) = 0;
    virtual std::filesystem::path currentDir() const = 0;
    // Ends the program; the calling command returns at once after it.
    virtual void endProgram() = 0;
    // Tells the user that writing file (or "a new file") failed, and why.
    virtual void showSaveFailure(std::u16string_view file, std::u16string_view reason) = 0;

    // Yes: save over it; anything else: write nothing. The acting button is
    // never the default. why: Changed, NotRead, NowLink (detail names where
    // it leads), Created or Unreadable (detail says why).
    virtual Answer askSaveOver(std::u16string_view file, DiskNews why,
                               std::u16string_view detail) = 0;
    // Yes: reload it, throwing the unsaved text away; anything else: keep it.
    virtual Answer askReload(std::u16string_view file) = 0;
    // The file became a link to linkTarget: Yes reads the text from there
    // (throwing the unsaved text away, when unsaved); anything else keeps it.
    virtual Answer askReloadFromLink(std::u16string_view file, std::u16string_view linkTarget,
                                     bool unsaved) = 0;
    // Another program deleted the file.
    virtual void tellDeleted(std::u16string_view file) = 0;
    // Another program changed the file, and the change could not be read
    // (what says which file and why); the text shown stays.
    virtual void tellNotReloaded(std::u16string_view what) = 0;

    // A load or save under way: begun, told how far it has come (total < 0:
    // done of a whole not known yet), ended also when it fails. What the user
    // sees of it is the program's to decide.
    virtual void beginWork(std::u16string_view) {}
    // Work that waits for another program (a pipe that may stall): the
    // window takes commands meanwhile, and its progress shows all the same.
    virtual void beginWaiting(std::u16string_view what) { beginWork(what); }
    virtual void workProgress(std::int64_t, std::int64_t) {}
    virtual void endWork() {}

    // Something the user should know but need not answer.
    virtual void tell(std::u16string_view) {}
    // The news could not be read from source (a name as shown, or standard
    // input), and why.
    virtual void showLoadFailure(std::u16string_view source, std::u16string_view reason) = 0;
};
