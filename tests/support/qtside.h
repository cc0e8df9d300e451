#pragma once

#include "codepage.h"
#include "newsfile.h"
#include "stdstrings.h"

#include <functional>

// The portable core with Qt's strings, as the Qt tests hold them.
inline QString decoded(const CodePage &page, QByteArrayView bytes)
{
    return qtstd::string(page.decode(qtstd::view(bytes)));
}
inline QByteArray encoded(const CodePage &page, QStringView text, bool *exact = nullptr,
                          std::ptrdiff_t *join = nullptr)
{
    return qtstd::bytes(page.encode(qtstd::view(text), exact, join));
}

inline NewsRead ReadNewsFile(const QString &path, const CodePage &page,
                             const std::function<void(const QString &)> &appendSlice,
                             const ProgressSink &progress = {},
                             std::int64_t available = availableMemory())
{
    return ReadNewsFile(
        qtstd::path(path), page,
        [&appendSlice](std::u16string_view slice) { appendSlice(qtstd::string(slice)); }, progress,
        available);
}
inline FileResult WriteNewsFile(const QString &path, const QString &text, const CodePage &page,
                                const ProgressSink &progress = {}, std::string_view saved = {})
{
    return WriteNewsFile(qtstd::path(path), qtstd::view(text), page, progress, saved);
}
inline NewsBytes EncodeNewsText(const QString &text, const CodePage &page,
                                const ProgressSink &progress = {}, std::string_view saved = {})
{
    return EncodeNewsText(qtstd::view(text), page, progress, saved);
}
