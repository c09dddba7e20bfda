// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/text/standardoutput.h"

#include "platform/text/printedlines.h"

#include <QByteArray>

#include <cstdio>
#include <mutex>

void printLine(const QString &line)
{
    PrintedLines::note(line);
    static std::mutex mutex;
    QByteArray bytes = line.toUtf8();
    bytes.append('\n');
    const std::lock_guard lock(mutex);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}
