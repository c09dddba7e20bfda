// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <unistd.h>

// What the benchmarks that measure fresh processes share: the clock, the line a child reports its
// figures on, and the summaries the parent prints.
namespace BenchProcess {

inline qint64 monotonicNanos()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// Ends a child without tearing down what it holds (gigabytes, for a large library): the figures
// are out, and nothing of the run is worth saving.
[[noreturn]] inline void finish(const QList<qint64> &figures)
{
    std::printf("RESULT");
    for (const qint64 figure : figures)
        std::printf(" %lld", qlonglong(figure));
    std::printf("\n");
    std::fflush(stdout);
    ::_exit(0);
}

inline double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n == 0 ? -1 : n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
}

inline QByteArray loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return "unknown";
    const QList<QByteArray> fields = file.readAll().split(' ');
    return fields.size() >= 3 ? fields.mid(0, 3).join(' ') : "unknown";
}

} // namespace BenchProcess
