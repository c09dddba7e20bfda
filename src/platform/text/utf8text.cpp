// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/text/utf8text.h"

#include <QStringDecoder>

QString textFromUtf8(QByteArrayView bytes)
{
    if (!bytes.startsWith("\xef\xbb\xbf"))
        return QString::fromUtf8(bytes);
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder(bytes);
}
