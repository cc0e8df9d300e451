#pragma once

#include "fileresult.h"

#include <string>

// What the writer reads of a failed load or save: the reason its kind and the
// system's error number give, with what it means for the file when a save
// left it half written. Every window shows these words as they are.
std::u16string failureWords(const FileResult &result);
