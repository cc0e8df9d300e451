#pragma once

#include "currentfile.h"

#include <string>
#include <string_view>

// A question about the file whose answer acts or keeps things as they are:
// its words, from the one message table, for whichever window asks it. The
// button that keeps is the default, and Escape and the close box mean it.
struct Question {
    std::u16string title;
    std::u16string text;
    std::u16string act;  // the button that does what the question offers
    std::u16string keep; // the one that leaves everything as it is
};

// Whether to save over a file another program changed (RuntimeServices::askSaveOver).
Question saveOverQuestion(std::u16string_view file, DiskNews why, std::u16string_view detail);
Question reloadQuestion(std::u16string_view file);
Question reloadFromLinkQuestion(std::u16string_view file, std::u16string_view linkTarget,
                                bool unsaved);
