// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

// Writes that either complete on disk or fail with the system's reason, never a half-written file
// reported as saved. Each write goes straight to the file descriptor (no buffering that could hide a
// failed flush), is synced, and its close is checked; the message given on failure is the system's
// own description of the cause ("No space left on device", "File too large").

// Writes all of `bytes` to the open descriptor `fd`, resuming interrupted writes; false, with errno's
// value in `error`, when a write fails. Neither syncs nor closes: for writers that stream a file.
bool writeToDescriptor(int fd, QByteArrayView bytes, int *error);

// Writes `bytes` into a file at `path` that must not exist yet. On failure the file is removed.
bool writeNewFile(const QString &path, QByteArrayView bytes, QString *reason);

// Replaces the file at `path` with `bytes` in one step: a temporary sibling is written and renamed
// over it, so the old file stays whole until the new one is complete.
bool writeFileAtomically(const QString &path, QByteArrayView bytes, QString *reason);

// Puts the folder `from` in the place of `to` in one step (an exchange where the file system can,
// else a move aside and back on failure), then removes the folder that was at `to`. Both sit in one
// parent folder. On failure `to` is as it was and `from` is left to the caller.
bool replaceFolder(const QString &from, const QString &to, QString *reason);

// Removes `path` and everything below it, never following a link out of it.
void removeTree(const QString &path);
