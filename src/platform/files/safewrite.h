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
// over it, so the old file stays whole until the new one is complete. The first such write into a
// folder removes the temporaries that killed writers left there (StagingFolder::sweep()).
bool writeFileAtomically(const QString &path, QByteArrayView bytes, QString *reason);

// Puts the folder `from`, written whole, in the place of `to` in one step, then removes the folder
// that was at `to`. Both sit in one parent folder. On failure `to` is as it was and `from` is left
// to the caller.
//
// Where the file system has no exchange, the old folder is moved aside to `from` + "-old" and `from`
// moved in, with `from` + "-dest" recording the name of `to` meanwhile: a process killed between
// the two moves leaves the destination missing and both copies beside it, for settleReplace().
bool replaceFolder(const QString &from, const QString &to, QString *reason);

// `staging` was the `from` of a replaceFolder() in a process that no longer runs. Puts back a
// destination that it had moved aside and not yet replaced (the new folder, which was whole before
// anything moved, else the old one), then removes what it left beside the destination, of the
// user's own only. A regular file at `staging` (a killed write's temporary) is removed. When the destination cannot be
// put back, both copies stay for a later try.
void settleReplace(const QString &staging);

// Removes `path` and everything below it, never following a link out of it.
void removeTree(const QString &path);
