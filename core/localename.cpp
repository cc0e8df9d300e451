#include "localename.h"

#include <algorithm>

namespace {
char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}
char upper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}
bool sameLetters(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return lower(x) == lower(y); });
}
} // namespace

LocaleName LocaleName::parse(std::string_view name)
{
    LocaleName locale;
    if (const size_t at = name.find('@'); at != name.npos) {
        locale.modifier = name.substr(at + 1);
        name = name.substr(0, at);
    }
    // The codeset says how the system stores text, not which language it is.
    name = name.substr(0, name.find('.'));
    size_t end = 0;
    while (end < name.size() && lower(name[end]) >= 'a' && lower(name[end]) <= 'z')
        ++end;
    std::ranges::transform(name.substr(0, end), std::back_inserter(locale.language), lower);
    if (locale.language == "c" || locale.language == "posix")
        locale.language.clear();
    // "_TW", and the tags of "zh-Hant-TW" too.
    for (size_t from = end; from < name.size();) {
        const size_t to = std::min(name.find_first_of("_-", from), name.size());
        if (to > from)
            locale.parts.emplace_back(name.substr(from, to - from));
        from = to + 1;
    }
    // The territory: the first part that is not a script (four letters, as
    // in "sr-Latn-RS", the form Windows names locales in).
    for (const std::string &part : locale.parts) {
        if (part.size() != 4) {
            std::ranges::transform(part, std::back_inserter(locale.territory), upper);
            break;
        }
    }
    return locale;
}

bool LocaleName::says(std::string_view word) const
{
    return sameLetters(modifier, word) || std::ranges::any_of(parts, [word](const std::string &p) {
               return sameLetters(p, word);
           });
}
