// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/visualeffectview.h"

// The untinted full-screen material that the collection views lie on: a fill, as its base class
// paints, with nothing blurred.
class BlurEffectView : public VisualEffectView
{
    Q_OBJECT

public:
    explicit BlurEffectView(QWidget *parent = nullptr);

    // What the view lays over whatever lies behind it, for views that weigh their colours
    // against it.
    static QColor frost(const QPalette &palette);
};
