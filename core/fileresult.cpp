#include "fileresult.h"

#include "messages.h"
#include "systemerror.h"

FileResult FileResult::system(int errorNumber, Kind kind)
{
    FileResult result = failure(kind, systemErrorWords(errorNumber));
    result.errorNumber = errorNumber;
    return result;
}

FileResult FileResult::folder()
{
    return failure(Kind::Folder, say(Message::IsFolder));
}

FileResult FileResult::notRegular()
{
    return failure(Kind::NotRegular, say(Message::NotRegularFile));
}
