#pragma once

#include "currentfile.h"

#include <QString>

// What the file commands need of the running program besides the document and
// the file dialog.
class RuntimeServices {
public:
    virtual ~RuntimeServices() = default;

    // Cancel: the box was closed by Escape or its frame, without an answer.
    enum class Answer { Yes, No, Cancel };

    // A modal box with the buttons Yes and No, Yes the default, no icon.
    virtual Answer askYesNo(const QString &prompt, const QString &title) = 0;
    virtual QString currentDir() const = 0;
    // Ends the program; the calling command returns at once after it.
    virtual void endProgram() = 0;
    // Tells the user that writing fileName failed, and why.
    virtual void showSaveFailure(const QString &fileName, const QString &reason) = 0;

    // Yes: save over it; anything else: write nothing. The acting button is
    // never the default. why: Changed, NotRead, NowLink (to detail), Created
    // or Unreadable (detail says why).
    virtual Answer askSaveOver(const QString &fileName, DiskNews why, const QString &detail) = 0;
    // Yes: reload it, throwing the unsaved text away; anything else: keep it.
    virtual Answer askReload(const QString &fileName) = 0;
    // The file became a link to linkTarget: Yes reads the text from there
    // (throwing the unsaved text away, when unsaved); anything else keeps it.
    virtual Answer askReloadFromLink(const QString &fileName, const QString &linkTarget,
                                     bool unsaved) = 0;
    // Another program deleted the file.
    virtual void tellDeleted(const QString &fileName) = 0;
    // Another program changed the file, and the change could not be read
    // (what says which file and why); the text shown stays.
    virtual void tellNotReloaded(const QString &what) = 0;

    // A load or save under way: begun, told how far it has come (total < 0:
    // done of a whole not known yet), ended also when it fails. What the user
    // sees of it is the program's to decide.
    virtual void beginWork(const QString &what) { Q_UNUSED(what); }
    // Work that waits for another program (a pipe that may stall): the
    // window takes commands meanwhile, and its progress shows all the same.
    virtual void beginWaiting(const QString &what) { beginWork(what); }
    virtual void workProgress(qint64 done, qint64 total)
    {
        Q_UNUSED(done);
        Q_UNUSED(total);
    }
    virtual void endWork() {}

    // Something the user should know but need not answer.
    virtual void tell(const QString &notice) { Q_UNUSED(notice); }
    // The news could not be read from source (a name, or standard input), and why.
    virtual void showLoadFailure(const QString &source, const QString &reason) = 0;
};
