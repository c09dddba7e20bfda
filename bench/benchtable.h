// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <optional>

// The table every benchmark ends with: a row per figure (name, figure, target, met), then "OK"
// when every target was met, else "FAIL". A figure without a target is shown, not judged; a
// negative figure is a measurement that failed, and misses any target.
class BenchTable
{
public:
    // `value` in `unit`, met when at most `limit`.
    void add(const QString &name, double value, const QString &unit, std::optional<double> limit = std::nullopt,
        int decimals = 2)
    {
        const bool met = value >= 0 && (!limit || value <= *limit);
        if (limit)
            m_allMet = m_allMet && met;
        m_rows.append({ name,
            value < 0 ? QStringLiteral("failed") : QStringLiteral("%1 %2").arg(value, 0, 'f', decimals).arg(unit),
            limit ? QStringLiteral("≤ %1 %2").arg(*limit).arg(unit) : QStringLiteral("–"),
            limit ? (met ? QStringLiteral("yes") : QStringLiteral("no")) : QStringLiteral("–") });
    }

    // A condition that is no figure, such as a check of what was measured.
    void check(const QString &name, bool met)
    {
        m_allMet = m_allMet && met;
        m_rows.append({ name, met ? QStringLiteral("holds") : QStringLiteral("broken"), QStringLiteral("holds"),
            met ? QStringLiteral("yes") : QStringLiteral("no") });
    }

    bool allMet() const { return m_allMet; }

    // Prints the table and the verdict; returns the exit code, 0 when every target was met.
    int print() const
    {
        // Padded as text, not bytes: "≤", "µ" and "×" take more than one byte.
        qsizetype width = 4;
        for (const Row &row : m_rows)
            width = std::max(width, row.name.size());
        const auto printRow = [width](const Row &row) {
            std::printf("%s\n",
                qPrintable(row.name.leftJustified(width + 2) + row.figure.rightJustified(14)
                    + row.target.rightJustified(14) + QStringLiteral("  ") + row.met));
        };
        std::printf("\n");
        printRow({ QStringLiteral("name"), QStringLiteral("figure"), QStringLiteral("target"), QStringLiteral("met") });
        for (const Row &row : m_rows)
            printRow(row);
        std::printf("%s\n", m_allMet ? "OK" : "FAIL");
        std::fflush(stdout);
        return m_allMet ? 0 : 1;
    }

private:
    struct Row
    {
        QString name;
        QString figure;
        QString target;
        QString met;
    };

    QList<Row> m_rows;
    bool m_allMet = true;
};
