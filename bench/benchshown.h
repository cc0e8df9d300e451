#pragma once

// The benchmarks of a window shown on the X server of DISPLAY, each run as a
// child process of its own: start-up, start-up with a Quickload, and Ctrl+S
// to the progress window.
#include <QString>

int benchStartup(const QString &self, int runs);
int startupChild(double startedAt);
int benchShown(const QString &self, int megabytes, int runs);
int shownChild(double startedAt);
int benchSaveProgress(const QString &self, int megabytes, int runs);
int saveProgressChild();
