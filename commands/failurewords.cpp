#include "failurewords.h"

#include "messages.h"

std::u16string failureWords(const FileResult &result)
{
    switch (result.kind) {
    case FileResult::Kind::Incomplete:
        return say(Message::IncompleteSave, {result.error});
    case FileResult::Kind::SentInPart:
        return say(Message::SentInPart, {result.error});
    default:
        return result.error;
    }
}
