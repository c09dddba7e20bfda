// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Keeps a copy of every line printLine() writes on this thread while it lives, so that a road can
// show the user the very reasons the terminal got. Scopes nest on a thread: the innermost keeps the
// lines, and hands them on to the one around it when it ends. Lines of other threads never reach it.
class PrintedLines
{
public:
    PrintedLines();
    ~PrintedLines();
    PrintedLines(const PrintedLines &) = delete;
    PrintedLines &operator=(const PrintedLines &) = delete;

    const QStringList &lines() const { return m_lines; }
    // The lines so far; the scope goes on keeping later ones.
    QStringList take();

    // Called by printLine() for every line it writes.
    static void note(const QString &line);

private:
    QStringList m_lines;
    PrintedLines *m_outer;
};
