#pragma once

#include <QtGlobal>

#include <algorithm>
#include <functional>

// How far a long piece of work has come: done of total units.
using ProgressSink = std::function<void(qint64 done, qint64 total)>;

// Long work goes in slices of this many bytes or characters, telling its
// progress after each, so that a long load or save never goes long without it.
inline constexpr qsizetype kSlice = 1 << 20;

// The progress of step index (from 0) of count steps, each as long as the
// others: the step tells its own done of total, whole hears it as part of all.
inline ProgressSink partOf(const ProgressSink &whole, int index, int count)
{
    if (!whole)
        return {};
    return [whole, index, count](qint64 done, qint64 total) {
        const qint64 size = std::max<qint64>(total, 1);
        whole(index * size + std::clamp<qint64>(done, 0, size), count * size);
    };
}
