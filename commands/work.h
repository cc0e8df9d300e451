#pragma once

#include "progress.h"
#include "runtimeservices.h"

// Shows a load or save as long work while it lasts.
class Work {
public:
    Work(RuntimeServices &services, std::u16string_view what) : m_services(services)
    {
        m_services.beginWork(what);
    }
    ~Work() { m_services.endWork(); }
    Work(const Work &) = delete;
    Work &operator=(const Work &) = delete;

    // Progress of step index of count steps, each as long as the others.
    ProgressSink step(int index = 0, int count = 1) const
    {
        return partOf(
            [this](std::int64_t done, std::int64_t total) { m_services.workProgress(done, total); },
            index, count);
    }

private:
    RuntimeServices &m_services;
};

// A command under way: the check for another program's change waits.
class Busy {
public:
    explicit Busy(bool &flag) : m_flag(flag), m_was(flag) { m_flag = true; }
    ~Busy() { m_flag = m_was; }
    Busy(const Busy &) = delete;
    Busy &operator=(const Busy &) = delete;

private:
    bool &m_flag;
    bool m_was;
};
