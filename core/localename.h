#pragma once

#include <QString>
#include <QStringList>

// The writer's locale, as the system names it:
// language[_territory][.codeset][@modifier], as in "ru_RU.UTF-8",
// "sr_RS@latin", "zh_Hant_TW" or "C". Both the code page of news files and
// the spelling dictionary are chosen from it.
struct LocaleName {
    QString language;  // lower case: "ru"; "" for "", "C" and "POSIX"
    QString territory; // upper case: "RU"; the first part after the language
    QStringList parts; // every part after the language, as written: "Hant", "TW"
    QString modifier;  // as written: "latin"

    static LocaleName parse(QStringView name);
    // The locale the program runs in: the first of LC_ALL, LC_CTYPE and LANG
    // that is set and not empty.
    static LocaleName fromEnvironment();

    // Whether a part after the language, or the modifier, is word (in any case).
    bool says(QStringView word) const;
};
