#include "fileresult.h"

#include "said.h"

#include <cstring>

FileResult FileResult::system(int errorNumber, Kind kind)
{
    FileResult result = failure(kind, QString::fromLocal8Bit(std::strerror(errorNumber)));
    result.errorNumber = errorNumber;
    return result;
}

FileResult FileResult::folder()
{
    return failure(Kind::Folder, said(Message::IsFolder));
}

FileResult FileResult::notRegular()
{
    return failure(Kind::NotRegular, said(Message::NotRegularFile));
}
