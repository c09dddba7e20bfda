// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/safefilename.h"

#include "platform/text/printabletext.h"

#include <algorithm>

namespace {

// An extension longer than this is not worth keeping at the cost of the name itself.
constexpr qsizetype maxKeptExtensionBytes = 32;

qsizetype utf8Length(QStringView text)
{
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit < 0x80)
            bytes += 1;
        else if (unit < 0x800)
            bytes += 2;
        else if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            bytes += 4;
            ++i;
        } else {
            bytes += 3;
        }
    }
    return bytes;
}

} // namespace

QString fitFileName(const QString &stem, const QString &suffix)
{
    const qsizetype budget = maxFileNameBytes - utf8Length(suffix);
    qsizetype used = 0;
    qsizetype end = 0;
    while (end < stem.size()) {
        qsizetype units = 1;
        if (stem[end].isHighSurrogate() && end + 1 < stem.size() && stem[end + 1].isLowSurrogate())
            units = 2;
        const qsizetype bytes = utf8Length(QStringView(stem).mid(end, units));
        if (used + bytes > budget)
            break;
        used += bytes;
        end += units;
    }
    return stem.left(end) + suffix;
}

QString safeFileName(const QString &name)
{
    QString safe = name;
    for (qsizetype i = 0; i < safe.size(); ++i) {
        QChar &c = safe[i];
        if (c == u'/' || c == QChar::Null) {
            c = u'_';
        } else if (c.isHighSurrogate() && i + 1 < safe.size() && safe.at(i + 1).isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            // Unpaired, it has no UTF-8 form; the file system would get something else than
            // the name we record.
            c = QChar::ReplacementCharacter;
        }
    }
    if (safe.isEmpty())
        return QStringLiteral("_");
    if (safe.front() == u'.')
        safe.front() = u'_';
    if (utf8Length(safe) <= maxFileNameBytes)
        return safe;

    const qsizetype dot = safe.lastIndexOf(u'.');
    if (dot > 0) {
        const QString extension = safe.mid(dot);
        if (utf8Length(extension) <= maxKeptExtensionBytes)
            return fitFileName(safe.left(dot), extension);
    }
    return fitFileName(safe, QString());
}

bool isSafeFileName(const QString &name)
{
    if (name == u"." || name == u"..")
        return false;
    // A hidden name is safe but would get its dot replaced; check the rest as if it had none.
    QString checked = name;
    if (checked.startsWith(u'.'))
        checked.front() = u'_';
    return safeFileName(checked) == checked;
}

bool isPlainFileName(const QString &name)
{
    return isSafeFileName(name)
        && std::none_of(name.cbegin(), name.cend(), [](QChar c) { return c == u'\\' || isUnprintable(c); });
}
