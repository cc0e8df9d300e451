#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;
class StandardInput;

// Feeds standard input to its reader whenever it is readable while the event
// loop runs, until the input ends or fails; then ended() runs (not after
// stop()). A terminal that hangs up meanwhile does not end the program.
class InputWatch {
public:
    explicit InputWatch(StandardInput &input);
    ~InputWatch();
    InputWatch(const InputWatch &) = delete;
    InputWatch &operator=(const InputWatch &) = delete;

    // input < 0: standard input was closed when the program started.
    void watch(int input, std::function<void()> ended);
    // The writer ends the program: the reading stops, nothing is asked.
    void stop();

private:
    void endWatch();

    StandardInput &m_input;
    std::unique_ptr<QSocketNotifier> m_watcher;
    std::function<void()> m_ended;
};
