#include "fileresult.h"

#include <cstring>

FileResult FileResult::system(int errorNumber, Kind kind)
{
    FileResult result = failure(kind, QString::fromLocal8Bit(std::strerror(errorNumber)));
    result.errorNumber = errorNumber;
    return result;
}

FileResult FileResult::folder()
{
    return failure(Kind::Folder, NewsFile::tr("It is a folder, not a file."));
}

FileResult FileResult::notRegular()
{
    return failure(Kind::NotRegular,
                   NewsFile::tr("It is not a regular file, but a pipe or a device."));
}
