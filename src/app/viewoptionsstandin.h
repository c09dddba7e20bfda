// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

// Holds the place of the "View Options" window until it is built: a small utility window of fixed
// size with only a close button.
class ViewOptionsStandIn : public QWidget
{
    Q_OBJECT

public:
    explicit ViewOptionsStandIn(QWidget *parent = nullptr);
};
