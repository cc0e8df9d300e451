#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

// Qt's strings seen as the standard library's, and back: where the Qt side of
// the program meets the portable core. Views share the characters; the two
// conversions back copy them.
namespace qtstd {

inline std::u16string_view view(QStringView text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), size_t(text.size())};
}
inline std::string_view view(QByteArrayView bytes)
{
    return {bytes.data(), size_t(bytes.size())};
}
inline QString string(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar *>(text.data()), qsizetype(text.size()));
}
inline QByteArray bytes(std::string_view bytes)
{
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

} // namespace qtstd
