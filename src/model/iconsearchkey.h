// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/icon.h"

#include <QString>

// What a search compares of one icon, folded once: its name, author, author URL and copyright,
// lower-cased for the user's locale and in composed form. A keystroke then compares the folded
// search text with these instead of folding every field again. Made on any thread; the user's
// locale must not change meanwhile.
class IconSearchKey
{
public:
    IconSearchKey() = default;
    explicit IconSearchKey(const Icon &icon);

    // The search text as matches() takes it.
    static QString folded(const QString &text);

    // Whether one of the fields contains `foldedText` (from folded()); an empty one matches.
    bool matches(const QString &foldedText) const;
    // Whether the key was made from these very fields (not equal ones: the same characters in
    // memory), so that checking a whole library costs no comparison of text.
    bool describes(const Icon &icon) const;

private:
    QString m_name;
    QString m_author;
    QString m_authorURL;
    QString m_copyright;
    // The folded fields, joined by a character that text searched for rarely holds.
    QString m_folded;
};
