#include "systemmemory.h"

#include <windows.h>

std::int64_t availableMemory()
{
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status))
        return -1;
    return std::int64_t(status.ullAvailPhys);
}
