#include "standardinput.h"

#include "failurewords.h"
#include "filecommands.h"
#include "inputstream.h"
#include "memorycheck.h"
#include "messages.h"
#include "newsdocument.h"
#include "newsfile.h"
#include "progress.h"
#include "runtimeservices.h"
#include "work.h"

#include <new>
#include <utility>

namespace {
std::u16string tooLarge()
{
    return say(Message::InputTooLarge);
}
} // namespace

StandardInput::StandardInput(NewsDocument &document, RuntimeServices &services,
                             std::int64_t availableBytes)
    : m_document(document), m_services(services), m_available(availableBytes)
{
}

void StandardInput::begin(int input)
{
    m_bytes.clear();
    m_problem.clear();
    m_document.beginLoad();
    if (input < 0) {
        fail(say(Message::StandardInputClosed));
        return;
    }
    m_input = input;
    // (A terminal that hung up is no terminal any more.)
    m_terminal = isTerminal(input);
    m_services.beginWaiting(what());
}

bool StandardInput::readMore()
{
    if (!reading())
        return false;
    try {
        // One read: the caller knows there is something to read (or the
        // end), so it does not wait; a slice cut short is no end.
        const std::size_t at = m_bytes.size();
        m_bytes.resize(at + std::size_t(kSlice));
        const InputRead read = readInput(m_input, m_bytes.data() + at, std::size_t(kSlice));
        m_bytes.resize(at + std::size_t(read.count > 0 ? read.count : 0));
        if (read.count < 0 && !read.nothingYet()) {
            fail(failureWords(FileResult::system(read.error)));
            return false;
        }
        if (read.count == 0) {
            // A terminal that hung up reads as an end too, and what was typed
            // on its last line is lost: not the whole news.
            if (m_terminal && terminalHungUp(m_input))
                fail(say(Message::TerminalClosed));
            else
                finish();
            return false;
        }
        if (!loadFitsInMemory(std::int64_t(m_bytes.size()), 0, m_available)) {
            fail(tooLarge());
            return false;
        }
    } catch (const std::bad_alloc &) {
        fail(tooLarge());
        return false;
    }
    // How much so far, of a whole nobody knows.
    m_services.workProgress(std::int64_t(m_bytes.size()), -1);
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

std::u16string StandardInput::what()
{
    return say(Message::LoadingStandardInput);
}

void StandardInput::fail(const std::u16string &reason)
{
    m_bytes.clear();
    m_problem = reason;
    if (reading())
        end();
    // What came before the failure is not the whole news: the text says the
    // load failed, and the writer is told why.
    m_document.failLoad(FileCommands::loadErrorText());
    m_services.showLoadFailure(say(Message::StandardInputName), reason);
}

void StandardInput::stop()
{
    if (!reading())
        return;
    m_bytes.clear();
    end();
}

void StandardInput::end()
{
    m_input = -1;
    m_services.endWork();
}
