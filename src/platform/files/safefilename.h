// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The longest file name, in UTF-8 bytes, that common Linux file systems accept.
inline constexpr qsizetype maxFileNameBytes = 255;

// A name from outside data made safe to use as one member of a folder: each "/" and NUL becomes
// "_", a leading "." becomes "_" (so ".", ".." and hidden names never arise), an empty name becomes
// "_", and a name longer than maxFileNameBytes is shortened, keeping its extension. Unpaired
// surrogates become U+FFFD, so that the name kept is the name on disk. Applying it twice changes nothing more.
QString safeFileName(const QString &name);

// Whether a name can be used as one member of a folder as it stands: what safeFileName() would
// leave unchanged, except that a hidden name (leading ".") counts. "." and ".." never do.
bool isSafeFileName(const QString &name);

// Whether a name from outside data is safe (isSafeFileName) and holds nothing that reads
// differently from what it is (a backslash, a control, format or line-separator character).
bool isPlainFileName(const QString &name);

// Shortens `stem` so that stem + suffix fits in maxFileNameBytes, cutting only between code
// points. The suffix itself is kept whole.
QString fitFileName(const QString &stem, const QString &suffix);
