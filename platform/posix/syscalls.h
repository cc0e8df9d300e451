#pragma once

#include <sys/stat.h>
#include <sys/types.h>

// Every system call that reading and writing news files makes goes through
// this table, so that a test can count them and make any one of them fail.
// The program uses the real calls; each costs one indirect call more.
struct SystemCalls {
    int (*open)(const char *path, int flags, mode_t mode);
    ssize_t (*read)(int fd, void *buffer, size_t count);
    ssize_t (*write)(int fd, const void *buffer, size_t count);
    off_t (*lseek)(int fd, off_t offset, int whence);
    int (*stat)(const char *path, struct stat *st);
    int (*lstat)(const char *path, struct stat *st);
    int (*fstat)(int fd, struct stat *st);
    int (*fcntl)(int fd, int command, int argument);
    int (*ftruncate)(int fd, off_t length);
    int (*fallocate)(int fd, int mode, off_t offset, off_t length);
    int (*fsync)(int fd);
    int (*fchmod)(int fd, mode_t mode);
    int (*fchown)(int fd, uid_t owner, gid_t group);
    int (*rename)(const char *from, const char *to);
    int (*unlink)(const char *path);
    int (*close)(int fd);
    ssize_t (*readlink)(const char *path, char *buffer, size_t size);

    // The real calls.
    static const SystemCalls &real();
};

// The calls in use; a test may put others in their place for a while.
SystemCalls &sys();
