#include "newscodec.h"

#include <QCoreApplication>
#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <bitset>
#include <memory>

namespace {
constexpr const char *kCharset = "windows-1252";

struct ByteTable {
    QString error;
    std::array<char16_t, 256> decoded{};
    // storable[c] is true when some byte decodes to the UTF-16 unit c.
    std::unique_ptr<std::bitset<0x10000>> storable = std::make_unique<std::bitset<0x10000>>();
};

ByteTable buildTable()
{
    ByteTable table;
    QStringDecoder decoder(kCharset);
    QStringEncoder encoder(kCharset);
    if (!decoder.isValid() || !encoder.isValid()) {
        table.error = QCoreApplication::translate(
                          "NewsCodec", "The character set %1 is not available in this Qt build.")
                          .arg(QLatin1String(kCharset));
        return table;
    }
    QByteArray all(256, '\0');
    for (int b = 0; b < 256; ++b)
        all[b] = char(b);
    const QString chars = decoder.decode(all);
    const QByteArray back = encoder.encode(chars);
    if (decoder.hasError() || encoder.hasError() || chars.size() != 256 || back != all) {
        table.error = QCoreApplication::translate(
                          "NewsCodec", "The character set %1 does not map every byte to one "
                                       "character and back in this Qt build.")
                          .arg(QLatin1String(kCharset));
        return table;
    }
    for (int b = 0; b < 256; ++b) {
        table.decoded[b] = chars.at(b).unicode();
        table.storable->set(chars.at(b).unicode());
    }
    return table;
}

const ByteTable &table()
{
    static const ByteTable instance = buildTable();
    return instance;
}
} // namespace

namespace NewsCodec {

QString selfCheck()
{
    return table().error;
}

QString decode(QByteArrayView bytes)
{
    QStringDecoder decoder(kCharset);
    return decoder.decode(bytes);
}

qsizetype firstUnstorable(QStringView text)
{
    const auto &storable = *table().storable;
    const char16_t *data = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = data[i];
        if (c >= 0x80 && !storable.test(c))
            return i;
    }
    return -1;
}

QByteArray encode(QStringView text)
{
    QStringEncoder encoder(kCharset);
    return encoder.encode(text);
}

bool equals(QStringView text, QByteArrayView bytes)
{
    if (text.size() != bytes.size())
        return false;
    const auto &decoded = table().decoded;
    const char16_t *t = text.utf16();
    const char *b = bytes.data();
    for (qsizetype i = 0, n = text.size(); i < n; ++i) {
        if (decoded[uchar(b[i])] != t[i])
            return false;
    }
    return true;
}

} // namespace NewsCodec
