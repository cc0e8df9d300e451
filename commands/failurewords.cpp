#include "failurewords.h"

#include "said.h"

#include <cstring>

QString failureWords(const FileResult &result)
{
    switch (result.kind) {
    case FileResult::Kind::Incomplete:
        return said(Message::IncompleteSave, {result.error});
    case FileResult::Kind::SentInPart:
        return said(Message::SentInPart, {result.error});
    default:
        return result.error;
    }
}
