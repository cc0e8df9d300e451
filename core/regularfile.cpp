// What is the same on every system in reading and writing a file.
#include "regularfile.h"

#include <algorithm>

FileResult readAllInSlices(HeldFile &file, std::int64_t sizeHint, std::string &bytes,
                           const std::function<void(std::int64_t)> &read)
{
    bytes.resize(size_t(sizeHint));
    size_t done = 0;
    for (;;) {
        if (done == bytes.size())
            bytes.resize(done + size_t(kSlice)); // the file grew while being read
        const size_t want = std::min(size_t(kSlice), bytes.size() - done);
        int error = 0;
        const std::ptrdiff_t n = readSome(file.handle, bytes.data() + done, want, error);
        if (n < 0) {
            bytes.clear();
            return FileResult::system(error);
        }
        if (n == 0)
            break;
        done += size_t(n);
        if (read)
            read(std::int64_t(done));
    }
    bytes.resize(done);
    return {};
}

int writeAll(FileHandle file, std::string_view bytes, const ProgressSink &progress,
             std::ptrdiff_t &written)
{
    const std::ptrdiff_t size = std::ptrdiff_t(bytes.size());
    for (written = 0; written < size;) {
        int error = 0;
        const std::ptrdiff_t n = writeSome(file, bytes.data() + written,
                                           size_t(std::min(kSlice, size - written)), error);
        if (n < 0)
            return error;
        written += n;
        if (progress)
            progress(written, size);
    }
    if (size == 0 && progress)
        progress(0, 0);
    return 0;
}

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
