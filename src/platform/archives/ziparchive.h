// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

// Unpacks a zip archive from a stranger into a folder, flat: the archive's regular files sit either
// at its root or inside one top folder, and land directly in the destination either way. What
// ordinary tools add beside them is skipped: hidden members, the "__MACOSX" folder, and members of
// folders nested below the top one.
//
// Guarantees: nothing is ever written outside the destination, and only regular files with plain
// names (isPlainFileName) are written there. An archive that holds anything else (absolute or parent
// paths, links, devices, pipes, set-ID members, names with NUL or control characters, encrypted or
// doubled members), a member named as an icon (".png", ".icns") that does not begin as such an
// image, or that goes past the limits, is refused as a whole, and so is one that cannot be written to
// its last byte: unpack() then leaves the destination as it found it.
class ZipArchive
{
public:
    struct Limits
    {
        // Every entry counts, the top folder's own entry too.
        qsizetype maxMembers = 10000;
        // The bytes actually unpacked, whatever the archive declares: no more than a download's
        // body may hold, so that what is unpacked, and later read back, costs no more than it.
        qint64 maxUnpackedBytes = qint64(256) << 20;
    };

    // Unpacks `bytes` into `destination`, an existing folder in which no member's name is taken yet.
    // False, with a one-line message, when the archive is refused or cannot be read or written.
    static bool unpack(
        QByteArrayView bytes, const QString &destination, const Limits &limits, QString *errorMessage = nullptr);
    static bool unpack(QByteArrayView bytes, const QString &destination, QString *errorMessage = nullptr)
    {
        return unpack(bytes, destination, Limits {}, errorMessage);
    }
    // The same for the archive in the file at `path`.
    static bool unpackFile(
        const QString &path, const QString &destination, const Limits &limits, QString *errorMessage = nullptr);
};
