// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>

// tr() for a file whose texts belong to no QObject: the file names its translation context once,
// `constexpr TranslationContext tr { "LibraryWriter" };`, and its calls read as a class's would.
class TranslationContext
{
public:
    explicit constexpr TranslationContext(const char *context)
        : m_context(context)
    { }

    QString operator()(const char *text) const { return QCoreApplication::translate(m_context, text); }

private:
    const char *m_context;
};
