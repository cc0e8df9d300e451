#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// The 8-bit character set of news text files: Windows-1252, every byte value
// mapped to one character and back (the five bytes the code page leaves
// undefined become U+0081, U+008D, U+008F, U+0090 and U+009D).
namespace NewsCodec {

// Empty when the converter is there and maps all 256 bytes one to one and back;
// otherwise why news text cannot be handled safely. Check it once at start.
QString selfCheck();

QString decode(QByteArrayView bytes);

// Index of the first character of text that no byte stands for, or -1.
qsizetype firstUnstorable(QStringView text);

// Only for text in which firstUnstorable() found nothing.
QByteArray encode(QStringView text);

// True when text is what bytes decode to, without decoding them.
bool equals(QStringView text, QByteArrayView bytes);

} // namespace NewsCodec
