#pragma once

#include "codepage.h"

#include <string_view>
#include <vector>

// The characters of text that were read from a second pair of their character
// in the saved bytes (what the file held when last read or written) and are
// unchanged since: each with that pair, in the order of the text, so that a
// save writes them back as they were.
//
// Unchanged is what a line by line comparison of the two texts finds, then
// one character by character within the lines that differ: lines equal at the
// start and at the end, lines found once in each in the same order, and the
// equal characters of the lines between. Where the saved text returns (an edit
// undone, the same character typed again in its place) so does its pair; a
// character typed or moved elsewhere gets the pair the code page writes.
std::vector<KeptPair> pairsToKeep(const CodePage &page, std::u16string_view text,
                                  std::string_view saved);
