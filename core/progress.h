#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>

// How far a long piece of work has come: done of total units.
using ProgressSink = std::function<void(std::int64_t done, std::int64_t total)>;

// Long work goes in slices of this many bytes or characters, telling its
// progress after each, so that a long load or save never goes long without it.
inline constexpr std::ptrdiff_t kSlice = 1 << 20;

// The progress of step index (from 0) of count steps, each as long as the
// others: the step tells its own done of total, whole hears it as part of all.
inline ProgressSink partOf(const ProgressSink &whole, int index, int count)
{
    if (!whole)
        return {};
    return [whole, index, count](std::int64_t done, std::int64_t total) {
        const std::int64_t size = std::max<std::int64_t>(total, 1);
        whole(index * size + std::clamp<std::int64_t>(done, 0, size), count * size);
    };
}
