#include "inputwatch.h"

#include "inputstream.h"
#include "standardinput.h"

#include <QSocketNotifier>

#include <csignal>
#include <utility>

InputWatch::InputWatch(StandardInput &input) : m_input(input) {}

InputWatch::~InputWatch() = default;

void InputWatch::watch(int input, std::function<void()> ended)
{
    const bool terminal = input >= 0 && isTerminal(input);
    if (terminal)
        std::signal(SIGHUP, SIG_IGN);
    m_ended = [terminal, ended = std::move(ended)] {
        if (terminal)
            std::signal(SIGHUP, SIG_DFL);
        ended();
    };
    m_input.begin(input);
    if (!m_input.reading()) {
        endWatch();
        return;
    }
    m_watcher = std::make_unique<QSocketNotifier>(input, QSocketNotifier::Read);
    QSocketNotifier *watcher = m_watcher.get();
    QObject::connect(watcher, &QSocketNotifier::activated, watcher, [this, watcher] {
        // Off while a read's message box waits for an answer.
        watcher->setEnabled(false);
        if (m_input.readMore()) {
            watcher->setEnabled(true);
            return;
        }
        if (m_watcher.get() == watcher) // (not stopped meanwhile)
            endWatch();
    });
}

void InputWatch::endWatch()
{
    if (m_watcher)
        m_watcher.release()->deleteLater();
    if (const std::function<void()> ended = std::exchange(m_ended, nullptr))
        ended();
}

void InputWatch::stop()
{
    if (m_watcher)
        m_watcher.release()->deleteLater();
    m_ended = nullptr;
    m_input.stop();
}
