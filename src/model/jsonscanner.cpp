// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/jsonscanner.h"

#include "platform/text/utf8text.h"

#include <QByteArray>

#include <charconv>
#include <cmath>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void appendUtf8(QByteArray &out, char32_t code)
{
    if (code < 0x80) {
        out.append(char(code));
    } else if (code < 0x800) {
        out.append(char(0xC0 | (code >> 6)));
        out.append(char(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.append(char(0xE0 | (code >> 12)));
        out.append(char(0x80 | ((code >> 6) & 0x3F)));
        out.append(char(0x80 | (code & 0x3F)));
    } else {
        out.append(char(0xF0 | (code >> 18)));
        out.append(char(0x80 | ((code >> 12) & 0x3F)));
        out.append(char(0x80 | ((code >> 6) & 0x3F)));
        out.append(char(0x80 | (code & 0x3F)));
    }
}

// The four hex digits of a \u escape at `at`; -1 when they are not four hex digits.
int hexQuad(const char *at, const char *end)
{
    if (end - at < 4)
        return -1;
    int value = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = hexValue(at[i]);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

// The UTF-8 of a string body already checked by stringBody(), with its escapes resolved; none
// for a lone surrogate.
std::optional<QByteArray> unescape(QByteArrayView raw)
{
    QByteArray out;
    out.reserve(raw.size());
    const char *at = raw.data();
    const char *end = at + raw.size();
    while (at < end) {
        if (*at != '\\') {
            out.append(*at++);
            continue;
        }
        const char kind = at[1];
        at += 2;
        switch (kind) {
        case '"':
        case '\\':
        case '/':
            out.append(kind);
            continue;
        case 'b':
            out.append('\b');
            continue;
        case 'f':
            out.append('\f');
            continue;
        case 'n':
            out.append('\n');
            continue;
        case 'r':
            out.append('\r');
            continue;
        case 't':
            out.append('\t');
            continue;
        default: // 'u', as stringBody() checked
            break;
        }
        char32_t code = char32_t(hexQuad(at, end));
        at += 4;
        if (code >= 0xDC00 && code <= 0xDFFF)
            return std::nullopt;
        if (code >= 0xD800 && code <= 0xDBFF) {
            const int low = end - at >= 6 && at[0] == '\\' && at[1] == 'u' ? hexQuad(at + 2, end) : -1;
            if (low < 0xDC00 || low > 0xDFFF)
                return std::nullopt;
            code = 0x10000 + ((code - 0xD800) << 10) + (char32_t(low) - 0xDC00);
            at += 6;
        }
        appendUtf8(out, code);
    }
    return out;
}

} // namespace

JsonScanner::JsonScanner(QByteArrayView text)
    : m_at(text.data())
    , m_end(text.data() + text.size())
{ }

bool JsonScanner::fail()
{
    m_ok = false;
    return false;
}

void JsonScanner::skipWhitespace()
{
    while (m_at < m_end && (*m_at == ' ' || *m_at == '\n' || *m_at == '\r' || *m_at == '\t'))
        ++m_at;
}

bool JsonScanner::take(char c)
{
    skipWhitespace();
    if (m_at == m_end || *m_at != c)
        return false;
    ++m_at;
    return true;
}

bool JsonScanner::literal(QByteArrayView word)
{
    skipWhitespace();
    if (m_end - m_at < word.size() || QByteArrayView(m_at, word.size()) != word)
        return false;
    m_at += word.size();
    return true;
}

bool JsonScanner::beginObject()
{
    if (!m_ok || !take('{'))
        return fail();
    m_first = true;
    return true;
}

bool JsonScanner::nextMember(QByteArrayView *key)
{
    if (!m_ok)
        return false;
    const bool first = std::exchange(m_first, false);
    if (take('}'))
        return false;
    if (!first && !take(','))
        return fail();
    bool escaped = false;
    if (!take('"') || !stringBody(key, &escaped) || escaped || !take(':'))
        return fail();
    return true;
}

bool JsonScanner::beginArray()
{
    if (!m_ok || !take('['))
        return fail();
    m_first = true;
    return true;
}

bool JsonScanner::nextElement()
{
    if (!m_ok)
        return false;
    const bool first = std::exchange(m_first, false);
    if (take(']'))
        return false;
    if (!first && !take(','))
        return fail();
    return true;
}

bool JsonScanner::validUtf8Sequence()
{
    const auto byte = [this](qsizetype i) { return static_cast<unsigned char>(m_at[i]); };
    const auto continuation = [&](qsizetype i) { return m_at + i < m_end && (byte(i) & 0xC0) == 0x80; };
    const unsigned char lead = byte(0);
    int length = 0;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return false;
    }
    for (int i = 1; i < length; ++i) {
        if (!continuation(i))
            return false;
        code = (code << 6) | (byte(i) & 0x3F);
    }
    // No overlong form, no surrogate, nothing past U+10FFFF.
    constexpr char32_t smallest[] = { 0, 0, 0x80, 0x800, 0x10000 };
    if (code < smallest[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        return false;
    m_at += length;
    return true;
}

bool JsonScanner::stringBody(QByteArrayView *raw, bool *escaped)
{
    const char *start = m_at;
    *escaped = false;
    while (m_at < m_end) {
        // Plain ASCII, the bulk of any string, in a tight loop.
        while (m_at < m_end) {
            const auto c = static_cast<unsigned char>(*m_at);
            if (c < 0x20 || c >= 0x80 || c == '"' || c == '\\')
                break;
            ++m_at;
        }
        if (m_at == m_end)
            break;
        const auto c = static_cast<unsigned char>(*m_at);
        if (c == '"') {
            *raw = QByteArrayView(start, m_at - start);
            ++m_at;
            return true;
        }
        if (c < 0x20)
            return fail();
        if (c >= 0x80) {
            if (!validUtf8Sequence())
                return fail();
            continue;
        }
        if (c == '\\') {
            *escaped = true;
            if (m_end - m_at < 2)
                return fail();
            const char kind = m_at[1];
            if (kind == 'u') {
                if (hexQuad(m_at + 2, m_end) < 0)
                    return fail();
                m_at += 6;
                continue;
            }
            if (!QByteArrayView("\"\\/bfnrt").contains(kind))
                return fail();
            m_at += 2;
            continue;
        }
        ++m_at;
    }
    return fail();
}

std::optional<QString> JsonScanner::string(Recent *recent)
{
    QByteArrayView raw;
    bool escaped = false;
    if (!m_ok || !take('"') || !stringBody(&raw, &escaped)) {
        fail();
        return std::nullopt;
    }
    if (recent && recent->raw.data() && recent->raw == raw)
        return recent->value;
    QString value;
    if (!escaped) {
        value = textFromUtf8(raw);
    } else {
        const std::optional<QByteArray> text = unescape(raw);
        if (!text) {
            fail();
            return std::nullopt;
        }
        value = textFromUtf8(*text);
    }
    if (recent)
        *recent = { raw, value };
    return value;
}

qsizetype JsonScanner::numberLength(QByteArrayView text)
{
    // -? (0 | [1-9][0-9]*) (. [0-9]+)? ([eE] [+-]? [0-9]+)?
    qsizetype at = 0;
    const qsizetype end = text.size();
    const auto digits = [&] {
        const qsizetype first = at;
        while (at < end && isDigit(text[at]))
            ++at;
        return at > first;
    };
    if (at < end && text[at] == '-')
        ++at;
    if (at < end && text[at] == '0')
        ++at;
    else if (!digits())
        return 0;
    if (at < end && text[at] == '.') {
        ++at;
        if (!digits())
            return 0;
    }
    if (at < end && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < end && (text[at] == '+' || text[at] == '-'))
            ++at;
        if (!digits())
            return 0;
    }
    return at;
}

std::optional<double> JsonScanner::number()
{
    skipWhitespace();
    if (!m_ok)
        return std::nullopt;
    const char *start = m_at;
    const qsizetype length = numberLength(QByteArrayView(m_at, m_end - m_at));
    if (length == 0) {
        fail();
        return std::nullopt;
    }
    const char *at = start + length;
    double value = 0;
    const auto [end, error] = std::from_chars(start, at, value);
    // Zero only as "0": a negative zero, or a zero reached by underflow, is for the full reader.
    const bool doubtfulZero = value == 0 && QByteArrayView(start, at - start) != "0";
    if (error != std::errc() || end != at || doubtfulZero || (!std::isnormal(value) && value != 0)) {
        fail();
        return std::nullopt;
    }
    m_at = at;
    return value;
}

std::optional<bool> JsonScanner::boolean()
{
    if (m_ok && literal("true"))
        return true;
    if (m_ok && literal("false"))
        return false;
    fail();
    return std::nullopt;
}

bool JsonScanner::null()
{
    return m_ok && literal("null");
}

bool JsonScanner::skipValue()
{
    return skipValue(0);
}

bool JsonScanner::skipValue(int depth)
{
    if (!m_ok)
        return false;
    if (depth >= maxDepth)
        return fail();
    skipWhitespace();
    if (m_at == m_end)
        return fail();
    switch (*m_at) {
    case '{': {
        beginObject();
        QByteArrayView key;
        while (nextMember(&key)) {
            if (!skipValue(depth + 1))
                return false;
        }
        return m_ok;
    }
    case '[':
        beginArray();
        while (nextElement()) {
            if (!skipValue(depth + 1))
                return false;
        }
        return m_ok;
    case '"': {
        ++m_at;
        QByteArrayView raw;
        bool escaped = false;
        // A lone surrogate escape is for the full reader, in a skipped value too.
        return stringBody(&raw, &escaped) && (!escaped || unescape(raw) || fail());
    }
    case 't':
    case 'f':
        return boolean().has_value();
    case 'n':
        return null() || fail();
    default:
        return number().has_value();
    }
}

bool JsonScanner::atEnd()
{
    skipWhitespace();
    return m_ok && m_at == m_end;
}
