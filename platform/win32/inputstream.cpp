#include "inputstream.h"

#include "win32calls.h"

#include <io.h>

bool InputRead::nothingYet() const
{
    return false; // a read of standard input waits until there is something
}

InputRead readInput(int input, char *into, std::size_t size)
{
    const HANDLE stream = HANDLE(::_get_osfhandle(input));
    DWORD n = 0;
    if (win32().readFile(stream, into, DWORD(size), &n))
        return {std::ptrdiff_t(n), 0};
    const DWORD error = ::GetLastError();
    // The writing end of a pipe went away: the input ended.
    if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF)
        return {0, 0};
    return {-1, int(error)};
}

bool isTerminal(int input)
{
    return ::_isatty(input) != 0;
}

bool terminalHungUp(int)
{
    return false; // a console window that closes ends the program with it
}
