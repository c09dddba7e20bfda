// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/strictjson.h"

#include "model/jsonscanner.h"

#include <QList>

#include <algorithm>
#include <optional>

namespace {

constexpr QByteArrayView byteOrderMark = "\xef\xbb\xbf";
constexpr QByteArrayView escapedMark = "\\ufeff";

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// What a look at the tokens finds: where the strings hold U+FEFF, and the first escape, raw control
// character or number that is not JSON. Meaningful where Qt's reader takes the text, whose tokens it then splits alike.
struct Tokens
{
    QList<qsizetype> marks;
    std::optional<QJsonParseError> firstFault;
};

Tokens lookAtTokens(QByteArrayView text)
{
    Tokens tokens;
    const auto fault = [&](qsizetype at, QJsonParseError::ParseError kind) {
        if (!tokens.firstFault)
            tokens.firstFault = QJsonParseError { int(at), kind };
    };
    bool inString = false;
    qsizetype at = 0;
    while (at < text.size()) {
        const char c = text[at];
        if (inString) {
            if (c == '"') {
                inString = false;
            } else if (static_cast<unsigned char>(c) < 0x20) {
                fault(at, QJsonParseError::IllegalValue);
            } else if (c == '\\') {
                if (at + 1 < text.size() && !QByteArrayView("\"\\/bfnrtu").contains(text[at + 1]))
                    fault(at, QJsonParseError::IllegalEscapeSequence);
                ++at;
            } else if (text.sliced(at).startsWith(byteOrderMark)) {
                tokens.marks.append(at);
                at += byteOrderMark.size() - 1;
            }
            ++at;
            continue;
        }
        if (c == '"') {
            inString = true;
            ++at;
            continue;
        }
        if (c == '-' || c == '.' || isDigit(c)) {
            const qsizetype start = at;
            while (at < text.size() && QByteArrayView("0123456789+-.eE").contains(text[at]))
                ++at;
            if (JsonScanner::numberLength(text.sliced(start, at - start)) != at - start)
                fault(start, QJsonParseError::IllegalNumber);
            continue;
        }
        ++at;
    }
    return tokens;
}

} // namespace

QJsonDocument parseStrictJson(const QByteArray &text, QJsonParseError *error)
{
    const Tokens tokens = lookAtTokens(text);
    // Qt's reader drops a U+FEFF at the start of a string, raw, but keeps it escaped.
    QByteArray parsed = text;
    if (!tokens.marks.isEmpty()) {
        parsed.clear();
        parsed.reserve(text.size() + tokens.marks.size() * (escapedMark.size() - byteOrderMark.size()));
        qsizetype copied = 0;
        for (const qsizetype mark : tokens.marks) {
            parsed.append(QByteArrayView(text).sliced(copied, mark - copied)).append(escapedMark);
            copied = mark + byteOrderMark.size();
        }
        parsed.append(QByteArrayView(text).sliced(copied));
    }

    QJsonParseError parseError;
    QJsonDocument document = QJsonDocument::fromJson(parsed, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        // Back to an offset in `text`: each escaped mark before it is three bytes longer there.
        qsizetype offset = parseError.offset;
        qsizetype shift = 0;
        for (const qsizetype mark : tokens.marks) {
            const qsizetype markInParsed = mark + shift;
            if (markInParsed >= parseError.offset)
                break;
            shift += escapedMark.size() - byteOrderMark.size();
            offset = std::max(mark, qsizetype(parseError.offset) - shift);
        }
        parseError.offset = int(offset);
        // Up to where Qt's reader failed it split the tokens alike: a fault found before that
        // point is the first one.
        if (tokens.firstFault && tokens.firstFault->offset < parseError.offset)
            parseError = *tokens.firstFault;
    } else if (tokens.firstFault) {
        parseError = *tokens.firstFault;
        document = QJsonDocument();
    }
    if (error)
        *error = parseError;
    return document;
}
