// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

// Reads JSON text in one pass, value by value, building no document: a library load reads a
// hundred info.json files, and a document tree costs several times the parse.
//
// It takes strict JSON only, and only where the meaning is beyond doubt: it gives up (ok() turns
// false, and every later read fails) on anything outside RFC 8259, on a byte-order mark, a control
// character in a string, a lone surrogate escape, a key spelled with escapes, a negative zero, a
// number out of a double's normal range, or nesting deeper than maxDepth. A caller that gives up
// with it hands the text to a full JSON reader, which decides.
class JsonScanner
{
public:
    static constexpr int maxDepth = 64;

    // The length of the JSON number that `text` starts with (RFC 8259's grammar); 0 when it starts
    // with none.
    static qsizetype numberLength(QByteArrayView text);

    explicit JsonScanner(QByteArrayView text);

    bool ok() const { return m_ok; }

    // Reads "{" (or "["); then nextMember() (or nextElement()) until it gives false, which it does
    // at the closing bracket and on failure (tell the two apart with ok()).
    bool beginObject();
    // The next member's key, in raw UTF-8; its value is to be read next.
    bool nextMember(QByteArrayView *key);
    bool beginArray();
    bool nextElement();

    // The last string read at one place of a document. A string whose text repeats it (the same
    // author on every icon) shares its characters instead of a copy of its own.
    struct Recent
    {
        QByteArrayView raw;
        QString value;
    };
    std::optional<QString> string(Recent *recent = nullptr);
    std::optional<double> number();
    std::optional<bool> boolean();
    // Reads a null when the next value is one.
    bool null();
    // Reads over the next value, whatever it is.
    bool skipValue();
    // Whether only whitespace is left.
    bool atEnd();

private:
    bool fail();
    void skipWhitespace();
    bool take(char c);
    bool literal(QByteArrayView word);
    // Reads a string's body past its opening quote: its raw bytes, and whether it holds escapes.
    bool stringBody(QByteArrayView *raw, bool *escaped);
    bool validUtf8Sequence();
    bool skipValue(int depth);

    const char *m_at;
    const char *m_end;
    bool m_ok = true;
    // Set by beginObject()/beginArray() until the first nextMember()/nextElement().
    bool m_first = false;
};
