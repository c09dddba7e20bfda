// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/settingsvalues.h"

#include <QLocale>
#include <QStringList>

using namespace Qt::Literals::StringLiterals;

namespace {

const auto colorSpaceName = u"hsb"_s;

} // namespace

QVariant SettingsValue<HSBColor>::toStored(const HSBColor &value)
{
    const auto number
        = [](double component) { return QString::number(component, 'g', QLocale::FloatingPointShortest); };
    return QStringList { colorSpaceName, number(value.hue), number(value.saturation), number(value.brightness),
        number(value.opacity) };
}

std::optional<HSBColor> SettingsValue<HSBColor>::fromStored(const QVariant &stored)
{
    if (stored.typeId() != QMetaType::QStringList)
        return std::nullopt;
    const QStringList parts = stored.toStringList();
    if (parts.size() != 5 || parts.first() != colorSpaceName)
        return std::nullopt;
    double components[4] {};
    for (int i = 0; i < 4; ++i) {
        const auto component = SettingsValue<double>::fromStored(parts.at(i + 1));
        if (!component || *component < 0 || *component > 1)
            return std::nullopt;
        components[i] = *component;
    }
    return HSBColor { components[0], components[1], components[2], components[3] };
}
