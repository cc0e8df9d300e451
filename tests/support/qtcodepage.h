#pragma once

#include "codepage.h"
#include "stdstrings.h"

// A code page's text and bytes as the Qt tests hold them.
inline QString decoded(const CodePage &page, QByteArrayView bytes)
{
    return qtstd::string(page.decode(qtstd::view(bytes)));
}
inline QByteArray encoded(const CodePage &page, QStringView text, bool *exact = nullptr,
                          std::ptrdiff_t *join = nullptr)
{
    return qtstd::bytes(page.encode(qtstd::view(text), exact, join));
}
