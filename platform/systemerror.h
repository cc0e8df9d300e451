#pragma once

#include <string>

// The system's own words for one of its error numbers (errno), in the
// writer's language where the system has them.
std::u16string systemErrorWords(int errorNumber);
