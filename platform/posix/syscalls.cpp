#include "syscalls.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {
int realOpen(const char *path, int flags, mode_t mode)
{
    return ::open(path, flags, mode);
}

int realFcntl(int fd, int command, int argument)
{
    return ::fcntl(fd, command, argument);
}

#ifndef __linux__
// Where blocks cannot be reserved, the save goes on without the reservation.
int noFallocate(int, int, off_t, off_t)
{
    errno = EOPNOTSUPP;
    return -1;
}
#endif

SystemCalls makeReal()
{
    SystemCalls calls{};
    calls.open = realOpen;
    calls.read = ::read;
    calls.write = ::write;
    calls.lseek = ::lseek;
    calls.stat = ::stat;
    calls.lstat = ::lstat;
    calls.fstat = ::fstat;
    calls.fcntl = realFcntl;
    calls.ftruncate = ::ftruncate;
#ifdef __linux__
    calls.fallocate = ::fallocate;
#else
    calls.fallocate = noFallocate;
#endif
    calls.fsync = ::fsync;
    calls.fchmod = ::fchmod;
    calls.fchown = ::fchown;
    calls.rename = ::rename;
    calls.unlink = ::unlink;
    calls.close = ::close;
    calls.readlink = ::readlink;
    return calls;
}

const SystemCalls kReal = makeReal();
SystemCalls current = kReal;
} // namespace

const SystemCalls &SystemCalls::real()
{
    return kReal;
}

SystemCalls &sys()
{
    return current;
}
