#pragma once

#include <string>

// A few characters of each double-byte code page, their bytes written by
// another converter (Python's cp932, gbk, cp949 and cp950 codecs), not this
// one. Odd bytes: an undefined pair, a lead before a byte that cannot trail
// it, a byte no table has, and a lead byte at a line's end.
struct DoubleByteRow {
    int number;
    const char *bytes; // hex
    std::u16string text;
    std::u16string outside; // a character the code page lacks
    const char *odd;        // bytes that start no character, hex
    const char *lead;       // a lead byte that 'A' would join, hex
};

inline const DoubleByteRow kDoubleByteRows[] = {
    {932, "93FA 967B 8CEA 82CC 836A 8385 815B 8358",
     u"\u65E5\u672C\u8A9E\u306E\u30CB\u30E5\u30FC\u30B9", u"\uD55C",
     "85 40 7C 81 20 7C 80 A0 FD 7C 82 0D 0A", "89"},
    {936, "D0C2 CEC5 B1A8 B5C0", u"\u65B0\u95FB\u62A5\u9053", u"\uD55C",
     "81 7F 7C 81 20 7C FF 7C 82 0D 0A", "B0"},
    {949, "B4BA BDBA 20 BAB8 B5B5", u"\uB274\uC2A4 \uBCF4\uB3C4", u"\u0E01",
     "C9 41 7C 81 20 7C FF 7C 82 0D 0A", "B0"},
    {950, "B773 BB44 B3F8 BEC9", u"\u65B0\u805E\u5831\u5C0E", u"\uD55C",
     "A3 FE 7C 85 A0 7C FF 7C 82 0D 0A", "B0"},
};
