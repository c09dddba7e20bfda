// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settingsbinding.h"

#include "platform/settings/settingsstore.h"
#include "settings/colorbutton.h"

#include <QCheckBox>

#include <memory>
#include <optional>
#include <utility>

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
    // What was stored before the dialog's first write: a cancelled dialog leaves the key as it
    // found it, also unset, rather than storing the colour it started from.
    auto before = std::make_shared<std::optional<QVariant>>();
    QObject::connect(button, &ColorButton::colorPicked, button, [&key, before](const QColor &color) {
        if (!*before)
            *before = key.store().value(key.name());
        key.write(HSBColor::fromColor(color));
    });
    QObject::connect(button, &ColorButton::dialogFinished, button, [&key, before](bool undo) {
        const std::optional<QVariant> stored = std::exchange(*before, std::nullopt);
        if (!undo || !stored)
            return;
        if (const std::optional<HSBColor> color = SettingsValue<HSBColor>::fromStored(*stored))
            key.write(*color);
        else
            key.reset();
    });
}
