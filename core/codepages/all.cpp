// Written by scripts/codepages.py: every code page table. Do not edit.
#include "codepagetables.h"

extern const CodePageTable kCodePage874;
extern const CodePageTable kCodePage1250;
extern const CodePageTable kCodePage1251;
extern const CodePageTable kCodePage1252;
extern const CodePageTable kCodePage1253;
extern const CodePageTable kCodePage1254;
extern const CodePageTable kCodePage1255;
extern const CodePageTable kCodePage1256;
extern const CodePageTable kCodePage1257;
extern const CodePageTable kCodePage1258;
extern const CodePageTable kCodePage932;
extern const CodePageTable kCodePage936;
extern const CodePageTable kCodePage949;
extern const CodePageTable kCodePage950;

const CodePageTable *codePageTable(int number)
{
    switch (number) {
    case 874:
        return &kCodePage874;
    case 1250:
        return &kCodePage1250;
    case 1251:
        return &kCodePage1251;
    case 1252:
        return &kCodePage1252;
    case 1253:
        return &kCodePage1253;
    case 1254:
        return &kCodePage1254;
    case 1255:
        return &kCodePage1255;
    case 1256:
        return &kCodePage1256;
    case 1257:
        return &kCodePage1257;
    case 1258:
        return &kCodePage1258;
    case 932:
        return &kCodePage932;
    case 936:
        return &kCodePage936;
    case 949:
        return &kCodePage949;
    case 950:
        return &kCodePage950;
    default:
        return nullptr;
    }
}
