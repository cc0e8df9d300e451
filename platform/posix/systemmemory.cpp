#include "systemmemory.h"

#include <fstream>
#include <string>

std::int64_t availableMemory()
{
    // Linux's own estimate: "MemAvailable:   1234 kB".
    std::ifstream meminfo("/proc/meminfo");
    std::string name, unit;
    std::int64_t kib = 0;
    while (meminfo >> name >> kib) {
        std::getline(meminfo, unit);
        if (name == "MemAvailable:")
            return kib * 1024;
    }
    return -1;
}
