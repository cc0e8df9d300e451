#pragma once

#include "syscalls.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

// Puts counting and failing calls in place of the real system calls while it
// lives. Every call is counted (calls), named (log); the call numbered failAt
// (from 1) fails with failWith, or, for a write, writes half and makes the
// next write fail with ENOSPC when partial is set. A full disk takes
// spaceLeft bytes more; a refused name fails every open of it.
class SyscallFaults {
public:
    int calls = 0;
    int failAt = 0;
    int failWith = 0;
    bool partial = false;
    std::vector<std::string> log;
    std::int64_t spaceLeft = -1;      // -1: no limit
    std::int64_t bytesUntilDead = -1; // then every write fails with EIO; -1: no limit
    std::string unreadable;           // every open of this name fails with EACCES
    std::string failingReads;         // every read of a file opened by this name fails with EIO
    std::string refusingFolder;       // no new file can be made in this folder
    std::function<void()> onFstat;    // runs after every fstat (a file that grows)

    SyscallFaults()
    {
        s_current = this;
        SystemCalls &c = sys();
        c.open = [](const char *path, int flags, mode_t mode) {
            if (s_current->refuse("open", path, flags))
                return -1;
            const int fd = SystemCalls::real().open(path, flags, mode);
            if (fd >= 0 && s_current->failingReads == path)
                s_current->m_failingFd = fd;
            return fd;
        };
        c.read = [](int fd, void *b, size_t n) -> ssize_t {
            if (s_current->fail("read") || (fd == s_current->m_failingFd && (errno = EIO)))
                return -1;
            return SystemCalls::real().read(fd, b, n);
        };
        c.write = [](int fd, const void *b, size_t n) -> ssize_t {
            return s_current->write(fd, b, n);
        };
        c.lseek = [](int fd, off_t o, int w) -> off_t {
            return s_current->fail("lseek") ? -1 : SystemCalls::real().lseek(fd, o, w);
        };
        c.stat = [](const char *p, struct stat *st) {
            return s_current->fail("stat") ? -1 : SystemCalls::real().stat(p, st);
        };
        c.lstat = [](const char *p, struct stat *st) {
            return s_current->fail("lstat") ? -1 : SystemCalls::real().lstat(p, st);
        };
        c.fstat = [](int fd, struct stat *st) {
            if (s_current->fail("fstat"))
                return -1;
            const int result = SystemCalls::real().fstat(fd, st);
            if (s_current->onFstat)
                s_current->onFstat();
            return result;
        };
        c.fcntl = [](int fd, int cmd, int arg) {
            return s_current->fail("fcntl") ? -1 : SystemCalls::real().fcntl(fd, cmd, arg);
        };
        c.ftruncate = [](int fd, off_t l) {
            return s_current->fail("ftruncate") ? -1 : SystemCalls::real().ftruncate(fd, l);
        };
        c.fallocate = [](int fd, int m, off_t o, off_t l) {
            return s_current->fallocate(fd, m, o, l);
        };
        c.fsync = [](int fd) {
            // A folder's sync is named apart: a save may outlive its failure.
            struct stat st {};
            const bool folder = SystemCalls::real().fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
            return s_current->fail(folder ? "fsync folder" : "fsync")
                       ? -1
                       : SystemCalls::real().fsync(fd);
        };
        c.fchmod = [](int fd, mode_t m) {
            return s_current->fail("fchmod") ? -1 : SystemCalls::real().fchmod(fd, m);
        };
        c.fchown = [](int fd, uid_t u, gid_t g) {
            return s_current->fail("fchown") ? -1 : SystemCalls::real().fchown(fd, u, g);
        };
        c.rename = [](const char *a, const char *b) {
            return s_current->fail("rename") ? -1 : SystemCalls::real().rename(a, b);
        };
        c.unlink = [](const char *p) {
            // The clean-up of a new file is never made to fail: it is what
            // keeps the folder clean after every other failure.
            s_current->log.push_back("unlink");
            return SystemCalls::real().unlink(p);
        };
        c.close = [](int fd) {
            // The descriptor goes whatever close says, as on Linux.
            const bool failed = s_current->fail("close");
            const int result = SystemCalls::real().close(fd);
            return failed ? -1 : result;
        };
        c.readlink = [](const char *p, char *b, size_t n) -> ssize_t {
            return s_current->fail("readlink") ? -1 : SystemCalls::real().readlink(p, b, n);
        };
    }
    ~SyscallFaults()
    {
        sys() = SystemCalls::real();
        s_current = nullptr;
    }
    SyscallFaults(const SyscallFaults &) = delete;
    SyscallFaults &operator=(const SyscallFaults &) = delete;

    // Counts a call; true (errno set) when it is the one to fail.
    bool fail(const char *name)
    {
        log.push_back(name);
        if (++calls != failAt || partial)
            return false;
        errno = failWith;
        return true;
    }

private:
    static inline SyscallFaults *s_current = nullptr;
    bool m_failNextWrite = false;
    int m_failingFd = -1;

    static std::string folderOf(const char *path)
    {
        const std::string name(path);
        const std::size_t slash = name.rfind('/');
        return slash != std::string::npos && slash > 0 ? name.substr(0, slash) : ".";
    }

    bool refuse(const char *name, const char *path, int flags)
    {
        if (fail(name))
            return true;
        if ((!unreadable.empty() && unreadable == path) ||
            ((flags & O_CREAT) && !refusingFolder.empty() && folderOf(path) == refusingFolder)) {
            errno = EACCES;
            return true;
        }
        return false;
    }

    ssize_t write(int fd, const void *buffer, size_t count)
    {
        log.push_back("write");
        ++calls;
        if (bytesUntilDead == 0) {
            errno = EIO;
            return -1;
        }
        if (bytesUntilDead > 0) {
            count = size_t(std::min<std::int64_t>(std::int64_t(count), bytesUntilDead));
            bytesUntilDead -= std::int64_t(count);
        }
        if (m_failNextWrite || (calls == failAt && !partial)) {
            m_failNextWrite = false;
            errno = calls == failAt ? failWith : ENOSPC;
            return -1;
        }
        if (calls == failAt && partial && count > 1) {
            count /= 2;
            m_failNextWrite = true;
        }
        if (spaceLeft >= 0) {
            struct stat st {};
            const bool regular = SystemCalls::real().fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
            if (regular) {
                // Writing over bytes that are there takes no space.
                const off_t at = SystemCalls::real().lseek(fd, 0, SEEK_CUR);
                const std::int64_t grows =
                    std::int64_t(at) + std::int64_t(count) - std::int64_t(st.st_blocks) * 512;
                if (grows > spaceLeft) {
                    if (spaceLeft <= 0 && grows >= std::int64_t(count)) {
                        errno = ENOSPC;
                        return -1;
                    }
                    count = size_t(
                        std::max<std::int64_t>(1, std::int64_t(count) - (grows - spaceLeft)));
                }
                const ssize_t n = SystemCalls::real().write(fd, buffer, count);
                if (n > 0)
                    spaceLeft =
                        std::max<std::int64_t>(0, spaceLeft - std::max<std::int64_t>(0, grows));
                return n;
            }
        }
        return SystemCalls::real().write(fd, buffer, count);
    }

    int fallocate(int fd, int mode, off_t offset, off_t length)
    {
        if (fail("fallocate"))
            return -1;
        if (spaceLeft >= 0) {
            struct stat st {};
            if (SystemCalls::real().fstat(fd, &st) == 0 &&
                std::int64_t(offset + length) - std::int64_t(st.st_blocks) * 512 > spaceLeft) {
                errno = ENOSPC;
                return -1;
            }
        }
        return SystemCalls::real().fallocate(fd, mode, offset, length);
    }
};
