// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

// UTF-8 bytes as text, character for character: a leading U+FEFF stays, where QString::fromUtf8()
// and QFile::decodeName() take it for a byte-order mark and drop it. Names and JSON strings are
// text whatever they begin with; dropping the mark would name a file that does not exist, or lose
// one more character at every save. Invalid sequences become U+FFFD, as with fromUtf8().
QString textFromUtf8(QByteArrayView bytes);
