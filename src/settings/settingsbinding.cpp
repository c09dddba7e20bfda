// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settingsbinding.h"

#include "settings/colorbutton.h"

#include <QCheckBox>

void bind(QCheckBox *box, const SettingsKey<bool> &key)
{
    const auto show = [box, &key] { box->setChecked(key.read()); };
    show();
    QObject::connect(key.notifier(), &SettingsKeyNotifier::changed, box, show);
    QObject::connect(box, &QCheckBox::clicked, box, [&key](bool checked) { key.write(checked); });
}

void bind(ColorButton *button, const SettingsKey<HSBColor> &key)
{
    const auto show = [button, &key] { button->setColor(key.read().toColor()); };
    show();
    QObject::connect(key.notifier(), &SettingsKeyNotifier::changed, button, show);
    QObject::connect(button, &ColorButton::colorPicked, button,
        [&key](const QColor &color) { key.write(HSBColor::fromColor(color)); });
}
