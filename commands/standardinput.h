#pragma once

#include <cstdint>
#include <string>

class NewsDocument;
class RuntimeServices;

// The news read from standard input (heraldpad -), while the window shows:
// a pipe may take its time or stall, and the writer may end the program
// meanwhile. The bytes are read as they come, as a load reads a file (the
// code page, the memory check), and go into the text once the input ends;
// there is no file: the text is unsaved unless it is empty, and Ctrl+S asks
// for a name.
class StandardInput {
public:
    StandardInput(NewsDocument &document, RuntimeServices &services, std::int64_t availableBytes);

    // Starts reading from input (inputstream.h): the text waits for it, the
    // progress counts the bytes read so far (the length is not known).
    // input < 0: the program was started with standard input closed, which
    // fails at once.
    void begin(int input);
    // One read of what the input holds now; call it when it is readable,
    // until it returns false: the input ended or failed, and the text shows
    // the news or the failed load's line, with the reason told. A terminal
    // that hung up is told as such, not taken as the end of the news.
    bool readMore();
    // The writer ends the program: the reading stops, nothing is asked.
    void stop();

    bool reading() const { return m_input >= 0; }
    // Why the news could not be read, or nothing.
    const std::u16string &problem() const { return m_problem; }

private:
    static std::u16string what();
    void finish();
    void fail(const std::u16string &reason);
    void end();

    NewsDocument &m_document;
    RuntimeServices &m_services;
    std::int64_t m_available;
    int m_input = -1;
    bool m_terminal = false;
    std::string m_bytes;
    std::u16string m_problem;
};
