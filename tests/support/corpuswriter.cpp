// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/corpuswriter.h"

#include <QDir>
#include <QFile>

#include <cstdio>

using namespace Qt::StringLiterals;

int writeCorpus(int argc, char **argv, const CorpusSeeds &seeds, const QString &extension)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(u"."_s)) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 1;
    }
    for (const auto &[name, bytes] : seeds) {
        QFile file(dir.filePath(name + extension));
        if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    std::printf("wrote %lld seeds to %s\n", qlonglong(seeds.size()), qPrintable(dir.path()));
    return 0;
}
