#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <string>

class NewsDocument;
class QSocketNotifier;
class RuntimeServices;

// The news read from standard input (heraldpad -), while the window shows:
// a pipe may take its time or stall, and the writer may end the program
// meanwhile. The bytes are read as they come, as a load reads a file (the
// code page, the memory check), and go into the text once the input ends;
// there is no file: the text is unsaved unless it is empty, and Ctrl+S asks
// for a name.
class StandardInput {
public:
    StandardInput(NewsDocument &document, RuntimeServices &services, qint64 availableBytes);
    ~StandardInput();

    // Starts reading from fd: the text waits for the input, the progress
    // counts the bytes read so far (the length is not known). fd < 0: the
    // program was started with standard input closed, which fails at once.
    void begin(int fd);
    // One read of what fd holds now; call it when fd is readable, until it
    // returns false: the input ended or failed, and the text shows the news
    // or the failed load's line, with the reason told.
    bool readMore();
    // Reads fd with readMore() whenever it is readable while the event loop
    // runs, until the input ends or fails; then ended() runs (not after
    // stop()). A terminal that hangs up meanwhile is told as such, not taken
    // as the end of the program.
    void watch(int fd, std::function<void()> ended);
    // The writer ends the program: the reading stops, nothing is asked.
    void stop();

    bool reading() const { return m_fd >= 0; }
    // Why the news could not be read, or nothing.
    const QString &problem() const { return m_problem; }

private:
    static QString what();
    void finish();
    void fail(const QString &reason);
    void end();
    void endWatch();

    NewsDocument &m_document;
    RuntimeServices &m_services;
    qint64 m_available;
    int m_fd = -1;
    bool m_terminal = false;
    std::string m_bytes;
    QString m_problem;
    std::unique_ptr<QSocketNotifier> m_watcher;
    std::function<void()> m_ended;
};
