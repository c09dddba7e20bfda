// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/archives/archivedvalue.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Reads an older, non-keyed archive ("typedstream", either byte order) and gives its root object
// as a tree of ArchivedValue. The input is treated as hostile: every length, count, reference and
// nesting level is checked against what the bytes can hold, and any fault gives nothing at all
// (the reason goes to the "glimbar.platform.typedstream" logging category). Memory stays linear
// in the input; data blobs are copied out of it once. Objects read twice are shared, and the tree
// written out without sharing, each data blob counted once, stays within a small multiple of the
// input (beyond it the archive is refused), so walking the whole tree costs work linear in the input
// too. A data blob shared by many objects is not bounded here: a consumer that writes each copy
// bounds what it writes.
//
// Known classes: NSString, NSData, NSNumber, NSArray, NSDictionary and their mutable variants,
// with NSValue and NSObject as superclasses. A nil root gives a nil value, not nothing.
class TypedStreamReader
{
public:
    // Objects nested deeper than this (the root being level 1) make the archive malformed.
    static constexpr int maxDepth = 64;
    // Files larger than this are refused without being read.
    static constexpr qint64 maxFileSize = qint64(1) << 30;

    static std::optional<ArchivedValue> read(const QByteArray &bytes);
    static std::optional<ArchivedValue> readFile(const QString &path);
};
