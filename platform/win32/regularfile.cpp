#include "regularfile.h"

#include "handlestate.h"

#include <algorithm>

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

FileResult readAllInSlices(HeldFile &file, std::int64_t sizeHint, std::string &bytes,
                           const std::function<void(std::int64_t)> &read)
{
    bytes.resize(size_t(sizeHint));
    size_t done = 0;
    for (;;) {
        if (done == bytes.size())
            bytes.resize(done + size_t(kSlice)); // the file grew while being read
        const size_t want = std::min(size_t(kSlice), bytes.size() - done);
        DWORD n = 0;
        if (!win32().readFile(file.handle, bytes.data() + done, DWORD(want), &n)) {
            bytes.clear();
            return FileResult::system(lastError());
        }
        if (n == 0)
            break;
        done += n;
        if (read)
            read(std::int64_t(done));
    }
    bytes.resize(done);
    return {};
}
