#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <QStringView>

#include <filesystem>
#include <string>
#include <string_view>

// Qt's strings seen as the standard library's, and back: where the Qt side of
// the program meets the portable core. Views share the characters; the
// conversions copy them.
namespace qtstd {

inline std::u16string_view view(QStringView text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), size_t(text.size())};
}
inline std::string_view view(QByteArrayView bytes)
{
    return {bytes.data(), size_t(bytes.size())};
}
inline std::u16string u16(QStringView text)
{
    return std::u16string(view(text));
}
inline QString string(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar *>(text.data()), qsizetype(text.size()));
}
inline QByteArray bytes(std::string_view bytes)
{
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

// A file name as the system has it (its bytes, on POSIX systems), and back.
inline std::filesystem::path path(const QString &name)
{
    const QByteArray encoded = QFile::encodeName(name);
    return std::filesystem::path(std::string(encoded.constData(), size_t(encoded.size())));
}
inline QString fileName(const std::filesystem::path &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

} // namespace qtstd
