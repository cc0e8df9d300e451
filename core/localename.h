#pragma once

#include <string>
#include <string_view>
#include <vector>

// The writer's locale, as the system names it:
// language[_territory][.codeset][@modifier], as in "ru_RU.UTF-8",
// "sr_RS@latin", "zh_Hant_TW" or "C". Both the code page of news files and
// the spelling dictionary are chosen from it. Locale names are ASCII.
struct LocaleName {
    std::string language;           // lower case: "ru"; "" for "", "C" and "POSIX"
    std::string territory;          // upper case: "RU"; the first part after the language
                                    // that is no script ("Latn", "Hant")
    std::vector<std::string> parts; // every part after the language, as written: "Hant", "TW"
    std::string modifier;           // as written: "latin"

    static LocaleName parse(std::string_view name);

    // Whether a part after the language, or the modifier, is word (in any case).
    bool says(std::string_view word) const;
};
