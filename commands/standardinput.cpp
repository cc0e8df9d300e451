#include "standardinput.h"

#include "failurewords.h"
#include "filecommands.h"
#include "memorycheck.h"
#include "newsdocument.h"
#include "newsfile.h"
#include "progress.h"
#include "runtimeservices.h"
#include "said.h"
#include "stdstrings.h"
#include "syscalls.h"
#include "work.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include <new>
#include <poll.h>
#include <unistd.h>
#include <utility>

namespace {
QString tooLarge()
{
    return said(Message::InputTooLarge);
}

// Whether the terminal at fd hung up (rather than being ended by Ctrl+D).
bool hungUp(int fd)
{
    struct pollfd watched {
        fd, POLLIN, 0
    };
    return ::poll(&watched, 1, 0) > 0 && (watched.revents & POLLHUP);
}
} // namespace

StandardInput::StandardInput(NewsDocument &document, RuntimeServices &services,
                             qint64 availableBytes)
    : m_document(document), m_services(services), m_available(availableBytes)
{
}

void StandardInput::begin(int fd)
{
    m_bytes.clear();
    m_problem.clear();
    m_document.beginLoad();
    if (fd < 0) {
        fail(said(Message::StandardInputClosed));
        return;
    }
    m_fd = fd;
    // (A terminal that hung up is no terminal any more.)
    m_terminal = ::isatty(fd);
    m_services.beginWaiting(what());
}

bool StandardInput::readMore()
{
    if (!reading())
        return false;
    try {
        // One read: the caller knows there is something to read (or the
        // end), so it does not wait; a slice cut short is no end.
        const qsizetype at = qsizetype(m_bytes.size());
        m_bytes.resize(size_t(at + kSlice));
        ssize_t n;
        do {
            n = sys().read(m_fd, m_bytes.data() + at, size_t(kSlice));
        } while (n < 0 && errno == EINTR);
        const int error = errno;
        m_bytes.resize(size_t(at + (n > 0 ? qsizetype(n) : 0)));
        if (n < 0 && error != EAGAIN) {
            fail(failureWords(FileResult::system(error)));
            return false;
        }
        if (n == 0) {
            // A terminal that hung up reads as an end too, and what was typed
            // on its last line is lost: not the whole news.
            if (m_terminal && hungUp(m_fd))
                fail(said(Message::TerminalClosed));
            else
                finish();
            return false;
        }
        if (!loadFitsInMemory(qint64(m_bytes.size()), 0, m_available)) {
            fail(tooLarge());
            return false;
        }
    } catch (const std::bad_alloc &) {
        fail(tooLarge());
        return false;
    }
    // How much so far, of a whole nobody knows.
    m_services.workProgress(qint64(m_bytes.size()), -1);
    return true;
}

void StandardInput::finish()
{
    end();
    NewsRead loaded;
    {
        // The length is known now: the text fills as a share of it.
        const Work work(m_services, what());
        NewsDocument &document = m_document;
        loaded = LoadNews(
            bytesSource(std::exchange(m_bytes, std::string())), document.codePage(),
            [&document](std::u16string_view slice) { document.appendText(slice); }, work.step(),
            m_available);
    }
    if (!loaded) {
        fail(loaded.result.kind == FileResult::Kind::TooLarge ? tooLarge()
                                                              : failureWords(loaded.result));
        return;
    }
    m_document.finishLoadFromNoFile();
}

QString StandardInput::what()
{
    return said(Message::LoadingStandardInput);
}

void StandardInput::fail(const QString &reason)
{
    m_bytes.clear();
    m_problem = reason;
    if (reading())
        end();
    // What came before the failure is not the whole news: the text says the
    // load failed, and the writer is told why.
    m_document.failLoad(qtstd::view(FileCommands::loadErrorText()));
    m_services.showLoadFailure(said(Message::StandardInputName), reason);
}

StandardInput::~StandardInput() = default;

void StandardInput::watch(int fd, std::function<void()> ended)
{
    const bool terminal = fd >= 0 && ::isatty(fd);
    if (terminal)
        std::signal(SIGHUP, SIG_IGN);
    m_ended = [terminal, ended = std::move(ended)] {
        if (terminal)
            std::signal(SIGHUP, SIG_DFL);
        ended();
    };
    begin(fd);
    if (!reading()) {
        endWatch();
        return;
    }
    m_watcher = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QSocketNotifier *watcher = m_watcher.get();
    QObject::connect(watcher, &QSocketNotifier::activated, watcher, [this, watcher] {
        // Off while a read's message box waits for an answer.
        watcher->setEnabled(false);
        if (readMore()) {
            watcher->setEnabled(true);
            return;
        }
        if (m_watcher.get() == watcher) // (not stopped meanwhile)
            endWatch();
    });
}

void StandardInput::endWatch()
{
    if (m_watcher)
        m_watcher.release()->deleteLater();
    if (const std::function<void()> ended = std::exchange(m_ended, nullptr))
        ended();
}

void StandardInput::stop()
{
    if (m_watcher)
        m_watcher.release()->deleteLater();
    m_ended = nullptr;
    if (!reading())
        return;
    m_bytes.clear();
    end();
}

void StandardInput::end()
{
    m_fd = -1;
    m_services.endWork();
}
