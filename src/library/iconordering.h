// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/icon.h"

#include <QList>
#include <QStringList>

// Which string of an icon is looked up in an order list.
enum class IconOrderKey {
    fileNameOrName, // the file name when the icon has one (its name is then not tried), else its name
    name,
};

// Puts `icons` in the order of `order`: first the icons whose key is listed, by the first index
// of that key in the list, then the unlisted ones. Stable: icons with equal positions keep their
// input order. Keys compare exactly (letter case counts), except that canonically equivalent
// strings (the same letters composed otherwise) are equal: an icon takes the entry spelled as its
// key when there is one, else the first equivalent entry that no other icon took, so each entry
// places its own icon. No icon is added, dropped or changed.
void orderIcons(QList<Icon> &icons, const QStringList &order, IconOrderKey key);
