#pragma once

#include <cstdint>

// Memory the system can still give, in bytes, or -1 where it does not say.
std::int64_t availableMemory();
