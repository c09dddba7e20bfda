// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/text/printedlines.h"

#include <utility>

namespace {

thread_local PrintedLines *innermost = nullptr;

} // namespace

PrintedLines::PrintedLines()
    : m_outer(innermost)
{
    innermost = this;
}

PrintedLines::~PrintedLines()
{
    innermost = m_outer;
    if (m_outer)
        m_outer->m_lines.append(m_lines);
}

QStringList PrintedLines::take()
{
    return std::exchange(m_lines, {});
}

void PrintedLines::note(const QString &line)
{
    if (innermost)
        innermost->m_lines.append(line);
}
