#pragma once

#include <QtGlobal>

#include <functional>

// How far a long piece of work has come: done of total units.
using ProgressSink = std::function<void(qint64 done, qint64 total)>;
