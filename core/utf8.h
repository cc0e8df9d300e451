#pragma once

#include <string>
#include <string_view>

// UTF-8, as POSIX file names and the spelling dictionaries hold text.
namespace utf8 {

// The text in UTF-8; a surrogate without its other half becomes U+FFFD.
std::string encode(std::u16string_view text);
// The bytes as text. A byte that begins no valid sequence (a stray
// continuation, an overlong form, a surrogate, beyond U+10FFFF, cut off at
// the end) is shown as \xHH, so that no two names read the same.
std::u16string decode(std::string_view bytes);

} // namespace utf8
