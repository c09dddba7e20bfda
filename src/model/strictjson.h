// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonParseError>

// Qt's JSON reader held to RFC 8259 where it is lax, so that text that is not JSON fails and a
// string reads as the characters it holds:
// - an escape other than \" \\ \/ \b \f \n \r \t \uXXXX ("\x41", "\a") fails with
//   QJsonParseError::IllegalEscapeSequence, where Qt's reader takes the letter itself;
// - a number without digits before or after its point ("4.", ".5", "1.e5") fails with
//   QJsonParseError::IllegalNumber;
// - a character below U+0020 inside a string or a key, unescaped, fails with
//   QJsonParseError::IllegalValue at its offset, where Qt's reader takes it;
// - a U+FEFF that begins a string or a key is kept, where Qt's reader drops it.
// Text that Qt's reader refuses fails with Qt's own error. Offsets in `error` are those of `text`.
QJsonDocument parseStrictJson(const QByteArray &text, QJsonParseError *error);
