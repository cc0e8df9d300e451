#include "regularfile.h"

#include "handlestate.h"

int HeldFile::close()
{
    if (handle == kNoFile)
        return 0;
    const BOOL closed = win32().closeHandle(handle);
    handle = kNoFile;
    return closed ? 0 : lastError();
}

FileResult openRegularFile(const std::filesystem::path &path, HeldFile &file, FileState &state)
{
    // (With backup semantics a folder opens too, and is told as one.)
    file.handle = win32().createFile(path.c_str(), GENERIC_READ, kShareAll, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN);
    if (file.handle == kNoFile)
        return FileResult::system(lastError());
    if (const int error = stateOfHandle(file.handle, state))
        return FileResult::system(error);
    if (state.folder)
        return FileResult::folder();
    if (!state.regular)
        return FileResult::notRegular();
    return {};
}

std::ptrdiff_t readSome(FileHandle file, char *into, std::size_t size, int &error)
{
    DWORD n = 0;
    const bool read = win32().readFile(file, into, DWORD(size), &n);
    error = read ? 0 : lastError();
    return read ? std::ptrdiff_t(n) : -1;
}

std::ptrdiff_t writeSome(FileHandle file, const char *from, std::size_t size, int &error)
{
    DWORD n = 0;
    const bool wrote = win32().writeFile(file, from, DWORD(size), &n);
    error = !wrote ? lastError() : n == 0 ? ERROR_WRITE_FAULT : 0;
    return error ? -1 : std::ptrdiff_t(n);
}
