// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Writes one line to standard output and flushes it. Safe from any thread: lines never interleave.
// Every message the program shows on standard output goes through here.
void printLine(const QString &line);
