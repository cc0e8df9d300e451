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
    // storable[c] is true when some byte decodes to the UTF-16 unit c.
    std::unique_ptr<std::bitset<0x10000>> storable = std::make_unique<std::bitset<0x10000>>();
};

ByteTable buildTable() {
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
    for (QChar c : chars)
        table.storable->set(c.unicode());
    return table;
}

const ByteTable &table() {
    static const ByteTable instance = buildTable();
    return instance;
}
} // namespace

namespace NewsCodec {

QString selfCheck() {
    return table().error;
}

QString decode(QByteArrayView bytes) {
    QStringDecoder decoder(kCharset);
    return decoder.decode(bytes);
}

qsizetype firstUnstorable(QStringView text) {
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

QByteArray encode(QStringView text) {
    QStringEncoder encoder(kCharset);
    return encoder.encode(text);
}

} // namespace NewsCodec
