#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// Outcome of a file operation; on failure, what failed and why, in the
// operating system's words where it gave any. Callers branch on the kind,
// never on the words.
struct FileResult {
    enum class Kind {
        Ok,
        Folder,     // a folder where a file was expected
        NotRegular, // a pipe, a device or a socket
        TooLarge,   // more than the memory can hold
        Unstorable, // the text holds what the code page cannot store
        System,     // the system refused; errorNumber says why
        // A save failed after the file's old bytes were overwritten, and they
        // could not be put back: the file holds part of the new text
        // (errorNumber says why).
        Incomplete,
        // A save to a device or a pipe failed after part of the text went
        // out, which cannot be taken back (errorNumber says why).
        SentInPart,
    };

    Kind kind = Kind::Ok;
    int errorNumber = 0;  // the system's (errno, GetLastError()), for Kind::System
    std::u16string error; // why, for the writer
    // Kind::Unstorable: where in the text the characters that cannot be
    // stored start, in order (one a character, also outside the basic plane).
    std::vector<std::ptrdiff_t> unstorable;

    bool ok() const { return kind == Kind::Ok; }
    explicit operator bool() const { return ok(); }
    static FileResult failure(Kind kind, std::u16string why)
    {
        return {kind, 0, std::move(why), {}};
    }
    // The system's error, in its own words; kind System, Incomplete or SentInPart.
    static FileResult system(int errorNumber, Kind kind = Kind::System);
    static FileResult folder();
    static FileResult notRegular();
};
