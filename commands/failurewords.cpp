#include "failurewords.h"

#include "said.h"
#include "stdstrings.h"

#include <cstring>

QString failureWords(const FileResult &result)
{
    switch (result.kind) {
    case FileResult::Kind::Incomplete:
        return said(Message::IncompleteSave, {qtstd::string(result.error)});
    case FileResult::Kind::SentInPart:
        return said(Message::SentInPart, {qtstd::string(result.error)});
    default:
        return qtstd::string(result.error);
    }
}
