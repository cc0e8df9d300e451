#include "localename.h"

#include <QtGlobal>

LocaleName LocaleName::parse(QStringView name)
{
    LocaleName locale;
    const qsizetype at = name.indexOf(u'@');
    if (at >= 0) {
        locale.modifier = name.sliced(at + 1).toString();
        name = name.first(at);
    }
    // The codeset says how the system stores text, not which language it is.
    if (const qsizetype dot = name.indexOf(u'.'); dot >= 0)
        name = name.first(dot);
    qsizetype end = 0;
    while (end < name.size() && name[end].isLetter())
        ++end;
    locale.language = name.first(end).toString().toLower();
    if (locale.language == u"c" || locale.language == u"posix")
        locale.language.clear();
    // "_TW", and the tags of "zh-Hant-TW" too.
    for (const QStringView part : name.sliced(end).tokenize(u'_')) {
        for (const QStringView tag : part.tokenize(u'-', Qt::SkipEmptyParts))
            locale.parts.append(tag.toString());
    }
    locale.territory = locale.parts.value(0).toUpper();
    return locale;
}

LocaleName LocaleName::fromEnvironment()
{
    for (const char *variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            return parse(value);
    }
    return {};
}

bool LocaleName::says(QStringView word) const
{
    return modifier.compare(word, Qt::CaseInsensitive) == 0 ||
           parts.contains(word, Qt::CaseInsensitive);
}
