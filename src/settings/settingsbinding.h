// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/settingsvalues.h"
#include "model/enumtraits.h"

#include <QAbstractButton>
#include <QButtonGroup>

#include <algorithm>

class ColorButton;
class QCheckBox;

// Ties a control to a settings key for the control's lifetime: the control shows the key's value
// at once and after every change made anywhere (another window, another thread), and a user's
// choice writes the key at once. Only user actions write, so showing a value never writes it back.

void bind(QCheckBox *box, const SettingsKey<bool> &key);
void bind(ColorButton *button, const SettingsKey<HSBColor> &key);

// The group's button ids are the positions of the enum's cases (RadioPicker numbers them so).
template <typename E> void bind(QButtonGroup *group, const SettingsKey<E> &key)
{
    constexpr auto cases = allCases<E>();
    const auto show = [group, &key, cases] {
        const auto position = std::ranges::find(cases, key.read()) - cases.begin();
        if (QAbstractButton *button = group->button(static_cast<int>(position)))
            button->setChecked(true);
    };
    show();
    QObject::connect(key.notifier(), &SettingsKeyNotifier::changed, group, show);
    QObject::connect(group, &QButtonGroup::idClicked, group, [&key, cases](int id) {
        if (id >= 0 && static_cast<std::size_t>(id) < cases.size())
            key.write(cases[static_cast<std::size_t>(id)]);
    });
}
