// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Libraries and older archives of made-up icons for benchmarks, as large as real ones: container
// folders of ICNS files (PNG elements, as the system's own icons ship) and PNG images, each with
// its info.json.
namespace GeneratedLibrary {

struct Shape
{
    int containers = 100;
    int iconsPerContainer = 100;
    // Icons of 16 and 32 px, as toolbars and older sets ship them, instead of 16 to 1024 px.
    bool smallIcons = false;
};

// The icons of a library cycle through this many distinct pictures.
constexpr int variantCount = 24;

// An ICNS file of one of the pictures: elements from 16 to 1024 px with the 2x ones, or (small)
// 16 and 32 px only.
QByteArray icns(int variant, bool small);
// A PNG image of one of the pictures: 512 px, or (small) 32 px.
QByteArray png(int variant, bool small);

// Writes the containers' folders ("Collection 000.ravivovode" …) into `libraryFolder`, created if
// needed. Two in three icons are ICNS files, the rest PNG images; each info.json lists its icons in
// another order than their names'. False when a file cannot be written.
bool write(const QString &libraryFolder, const Shape &shape);

// Writes an older archive of large ICNS icons whose icon data adds up to at least `bytes`; false
// when it cannot be written.
bool writeLegacyArchive(const QString &path, qint64 bytes);

} // namespace GeneratedLibrary
