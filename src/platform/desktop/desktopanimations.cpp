// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/desktopanimations.h"

#include <QFile>
#include <QStandardPaths>

// GLib names a struct member `signals`, which Qt defines as a macro.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

// kdeglobals is small; a larger file is not one KDE wrote.
constexpr qint64 maximumKdeGlobalsBytes = 1 << 20;

std::optional<double> factorInFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maximumKdeGlobalsBytes)
        return std::nullopt;
    bool inKdeGroup = false;
    std::optional<double> factor;
    // KDE's own reader lets a later line of the same key win.
    for (const QByteArray &rawLine : file.readAll().split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.startsWith('[')) {
            inKdeGroup = line == "[KDE]";
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (!inKdeGroup || equals < 0 || line.left(equals).trimmed() != "AnimationDurationFactor")
            continue;
        bool ok = false;
        const double value = line.mid(equals + 1).trimmed().toDouble(&ok);
        if (ok && std::isfinite(value) && value >= 0)
            factor = value;
    }
    return factor;
}

} // namespace

double DesktopAnimations::durationFactor()
{
    if (gnomeAnimationsEnabled() == false)
        return 0;
    return kdeDurationFactor(kdeGlobalsFiles()).value_or(1.0);
}

std::optional<bool> DesktopAnimations::gnomeAnimationsEnabled()
{
    // GSettings aborts the process on a schema it does not know, so look it up first.
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    if (!source)
        return std::nullopt;
    GSettingsSchema *schema = g_settings_schema_source_lookup(source, "org.gnome.desktop.interface", TRUE);
    if (!schema)
        return std::nullopt;
    std::optional<bool> enabled;
    if (g_settings_schema_has_key(schema, "enable-animations")) {
        GSettings *settings = g_settings_new_full(schema, nullptr, nullptr);
        enabled = g_settings_get_boolean(settings, "enable-animations");
        g_object_unref(settings);
    }
    g_settings_schema_unref(schema);
    return enabled;
}

std::optional<double> DesktopAnimations::kdeDurationFactor(const QStringList &files)
{
    for (const QString &path : files) {
        if (const std::optional<double> factor = factorInFile(path))
            return factor;
    }
    return std::nullopt;
}

QStringList DesktopAnimations::kdeGlobalsFiles()
{
    return QStandardPaths::locateAll(QStandardPaths::GenericConfigLocation, u"kdeglobals"_s);
}
