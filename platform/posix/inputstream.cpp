#include "inputstream.h"

#include "syscalls.h"

#include <cerrno>

#include <poll.h>
#include <unistd.h>

bool InputRead::nothingYet() const
{
    return count < 0 && (error == EAGAIN || error == EWOULDBLOCK);
}

InputRead readInput(int input, char *into, std::size_t size)
{
    ssize_t n;
    do {
        n = sys().read(input, into, size);
    } while (n < 0 && errno == EINTR);
    return {n, n < 0 ? errno : 0};
}

bool isTerminal(int input)
{
    return ::isatty(input);
}

bool terminalHungUp(int input)
{
    struct pollfd watched {
        input, POLLIN, 0
    };
    return ::poll(&watched, 1, 0) > 0 && (watched.revents & POLLHUP);
}
