// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/optionenums.h"

#include <QKeySequence>
#include <QWidget>

class QGridLayout;
class Settings;

// A window, not the style options of an item view.
// The "View Options" utility window: the options of the presentation "iconViewMode" names, icon
// names for the grid, the thumbnail size for the list, both for the gallery. Its rows follow the
// mode while it is open; every control writes its setting at once. It is 250 wide, as tall as its
// rows, and cannot be resized.
class ViewOptions : public QWidget
{
    Q_OBJECT

public:
    static constexpr int fixedWidth = 250;

    explicit ViewOptions(const Settings &settings, QWidget *parent = nullptr);

    // The shortcut of the command that shows the window.
    static QKeySequence shortcut() { return QKeySequence(Qt::CTRL | Qt::Key_J); }

    // Thumbnail edges in points, in the order of each enum's cases.
    static constexpr std::array<int, 3> listPointSizes { 16, 32, 64 };
    static constexpr std::array<int, 3> galleryPointSizes { 32, 64, 128 };

private:
    void showRows(IconViewMode mode);
    void fitHeight();

    const Settings &m_settings;
    QWidget *m_rows = nullptr;
    IconViewMode m_mode = IconViewMode::grid;
};
