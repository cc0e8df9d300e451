#include "failurewords.h"

#include <cstring>

QString failureWords(const FileResult &result)
{
    switch (result.kind) {
    case FileResult::Kind::Incomplete:
        return NewsFile::tr("%1\n\nThe file now holds an incomplete save: its old text could not "
                            "be put back. Save again once the cause is mended; the text is "
                            "still here.")
            .arg(result.error);
    case FileResult::Kind::SentInPart:
        return NewsFile::tr("%1\n\nIt is a device or a pipe: what was written to it cannot be "
                            "taken back.")
            .arg(result.error);
    default:
        return result.error;
    }
}
