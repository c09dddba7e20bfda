// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

using CorpusSeeds = QList<std::pair<QString, QByteArray>>;

// The main() of a corpus tool: writes each seed as <name><extension> into the folder named by the
// only argument. Returns the process's exit code (2 for a wrong call, 1 when a file fails).
int writeCorpus(int argc, char **argv, const CorpusSeeds &seeds, const QString &extension);
