// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

class QGridLayout;
class QLabel;
class QWidget;

// One row of a settings form laid into a two-column grid: the label, followed by a colon, flush
// right in the first column and the control flush left in the second. A row without a label
// leaves the first column empty and is as tall as its control.
class FormGridRow
{
public:
    struct Options
    {
        // Lines the label up with the control's first line instead of its middle (for a column of
        // radio buttons).
        bool topAlignLabel = false;
        // Hides the control's own title, which the row's label stands in for.
        bool hideViewLabel = false;
    };

    FormGridRow(std::optional<QString> label, QWidget *content, Options options);

    // Puts the row's cells at `row` of `grid`, which takes ownership of the widgets. Returns the
    // label made, null without one.
    QLabel *addTo(QGridLayout *grid, int row) const;

private:
    std::optional<QString> m_label;
    QWidget *m_content;
    Options m_options;
};
