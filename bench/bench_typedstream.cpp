// SPDX-License-Identifier: GPL-3.0-or-later
// How fast an older archive of about 50 MB (nearly all icon data) reads, from memory and from a file.

#include "benchtable.h"
#include "platform/archives/typedstreamreader.h"
#include "support/typedstreamwriter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <limits>

int main()
{
    const QByteArray bytes = TypedStreamWriter::archive(ts::iconCollection(500, 100 * 1024));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Large.ravivovode"));
    QFile file(path);
    if (!dir.isValid() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return 1;
    file.close();

    constexpr int runs = 10;
    qint64 bestMemory = std::numeric_limits<qint64>::max();
    qint64 bestFile = std::numeric_limits<qint64>::max();
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        if (!TypedStreamReader::read(bytes))
            return 1;
        bestMemory = std::min(bestMemory, timer.nsecsElapsed());
        timer.restart();
        if (!TypedStreamReader::readFile(path))
            return 1;
        bestFile = std::min(bestFile, timer.nsecsElapsed());
    }
    std::printf("archive of %.1f MB, 500 icons, best of %d runs\n", bytes.size() / 1e6, runs);
    BenchTable table;
    table.add(QStringLiteral("read from memory"), bestMemory / 1e6, QStringLiteral("ms"), std::nullopt, 1);
    table.add(QStringLiteral("read from a file"), bestFile / 1e6, QStringLiteral("ms"), std::nullopt, 1);
    return table.print();
}
