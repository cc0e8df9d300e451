// What is the same on every system in reading a regular file.
#include "regularfile.h"

FileResult readRegularFile(const std::filesystem::path &path, std::string &bytes)
{
    HeldFile file;
    FileState state;
    if (const FileResult opened = openRegularFile(path, file, state); !opened)
        return opened;
    if (const FileResult read = readAllInSlices(file, state.size, bytes); !read)
        return read;
    if (const int closed = file.close())
        return FileResult::system(closed);
    return {};
}
