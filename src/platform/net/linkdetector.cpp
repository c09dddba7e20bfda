// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/net/linkdetector.h"

#include <QHostAddress>
#include <QString>

#include <algorithm>

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isSchemeChar(QChar c)
{
    return isAsciiLetter(c) || isAsciiDigit(c) || c == u'+' || c == u'-' || c == u'.';
}

bool allOf(QStringView text, bool (*predicate)(QChar))
{
    return std::all_of(text.cbegin(), text.cend(), predicate);
}

// One label of a domain name: letters (international ones too), digits and inner hyphens.
bool isLabel(QStringView label)
{
    constexpr qsizetype maxLabelLength = 63;
    return !label.isEmpty() && label.size() <= maxLabelLength && label.front() != u'-' && label.back() != u'-'
        && allOf(label, [](QChar c) { return c.isLetterOrNumber() || c == u'-'; });
}

bool isTopLevelLabel(QStringView label)
{
    if (label.startsWith(u"xn--", Qt::CaseInsensitive))
        return label.size() > 4;
    return label.size() >= 2 && allOf(label, [](QChar c) { return c.isLetter(); });
}

bool isDomainName(QStringView host)
{
    constexpr qsizetype maxHostLength = 253;
    if (host.size() > maxHostLength)
        return false;
    const QList<QStringView> labels = host.split(u'.');
    return labels.size() >= 2 && std::all_of(labels.cbegin(), labels.cend(), isLabel) && isTopLevelLabel(labels.back());
}

bool isIPv4Address(QStringView host)
{
    const QList<QStringView> parts = host.split(u'.');
    return parts.size() == 4 && std::all_of(parts.cbegin(), parts.cend(), [](QStringView part) {
        return !part.isEmpty() && part.size() <= 3 && allOf(part, isAsciiDigit) && part.toInt() <= 255;
    });
}

bool isPort(QStringView port)
{
    constexpr qsizetype maxPortDigits = 5;
    return port.size() <= maxPortDigits && allOf(port, isAsciiDigit);
}

// The authority after "://", up to the path, query, fragment or the end of the link.
bool isAuthority(QStringView authority)
{
    if (const qsizetype at = authority.lastIndexOf(u'@'); at >= 0)
        authority = authority.mid(at + 1);
    if (authority.startsWith(u'[')) {
        const qsizetype close = authority.indexOf(u']');
        if (close < 0)
            return false;
        const QStringView rest = authority.mid(close + 1);
        if (!rest.isEmpty() && (!rest.startsWith(u':') || !isPort(rest.mid(1))))
            return false;
        return QHostAddress(authority.mid(1, close - 1).toString()).protocol() == QAbstractSocket::IPv6Protocol;
    }
    QStringView host = authority;
    if (const qsizetype colon = authority.indexOf(u':'); colon >= 0) {
        if (!isPort(authority.mid(colon + 1)))
            return false;
        host = authority.left(colon);
    }
    return host.compare(u"localhost", Qt::CaseInsensitive) == 0 || isIPv4Address(host) || isDomainName(host);
}

bool endsAuthority(QChar c)
{
    return c == u'/' || c == u'?' || c == u'#' || c.isSpace() || c == u'<' || c == u'>' || c == u'"';
}

} // namespace

bool containsLink(QStringView text)
{
    for (qsizetype mark = text.indexOf(u"://"); mark >= 0; mark = text.indexOf(u"://", mark + 1)) {
        qsizetype schemeStart = mark;
        while (schemeStart > 0 && isSchemeChar(text.at(schemeStart - 1)))
            --schemeStart;
        // A scheme starts with a letter; skip any leading characters that cannot.
        while (schemeStart < mark && !isAsciiLetter(text.at(schemeStart)))
            ++schemeStart;
        if (schemeStart == mark)
            continue;
        const qsizetype authorityStart = mark + 3;
        qsizetype authorityEnd = authorityStart;
        while (authorityEnd < text.size() && !endsAuthority(text.at(authorityEnd)))
            ++authorityEnd;
        if (isAuthority(text.mid(authorityStart, authorityEnd - authorityStart)))
            return true;
    }
    return false;
}
