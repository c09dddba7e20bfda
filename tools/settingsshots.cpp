// SPDX-License-Identifier: GPL-3.0-or-later
// Saves pictures of the settings window's tabs and of the View Options window in each view mode,
// in a light and a dark palette, as PNGs in the folder given. The settings it changes live in a
// throw-away folder, never in the user's file.
//
//   xvfb-run -s "-screen 0 1600x1000x24" build/dev/tools/settingsshots /tmp/shots

#include "library/settings.h"
#include "platform/net/updater.h"
#include "platform/settings/settingsstore.h"
#include "settings/settingsview.h"
#include "settings/viewoptions.h"

#include <QApplication>
#include <QDir>
#include <QPalette>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

namespace {

// Settings as a user would have them after some use, so every line shows.
class PictureUpdater : public Updater
{
public:
    void start() override { }
    bool canCheckForUpdates() const override { return true; }
    void checkForUpdates() override { }
    std::optional<QDateTime> lastUpdateCheckDate() const override
    {
        return QDateTime(QDate(2026, 12, 9), QTime(14, 32));
    }
    bool automaticallyChecksForUpdates() const override { return true; }
    void setAutomaticallyChecksForUpdates(bool) override { }
    bool automaticallyDownloadsUpdates() const override { return false; }
    void setAutomaticallyDownloadsUpdates(bool) override { }
    double updateCheckInterval() const override { return 86400; }
    void setUpdateCheckInterval(double) override { }
};

QPalette darkPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0x2d, 0x2d, 0x30));
    palette.setColor(QPalette::WindowText, QColor(0xe6, 0xe6, 0xe6));
    palette.setColor(QPalette::Base, QColor(0x45, 0x45, 0x4a));
    palette.setColor(QPalette::AlternateBase, QColor(0x26, 0x26, 0x29));
    palette.setColor(QPalette::Text, QColor(0xe6, 0xe6, 0xe6));
    palette.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3e));
    palette.setColor(QPalette::ButtonText, QColor(0xe6, 0xe6, 0xe6));
    palette.setColor(QPalette::Highlight, QColor(0x2f, 0x80, 0xed));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    palette.setColor(QPalette::Mid, QColor(0x55, 0x55, 0x5a));
    palette.setColor(QPalette::Light, QColor(0x50, 0x50, 0x55));
    palette.setColor(QPalette::Dark, QColor(0x20, 0x20, 0x22));
    return palette;
}

bool grab(QWidget &window, const QString &path)
{
    window.show();
    window.raise();
    // Let the window manager map it and the widgets paint.
    for (int round = 0; round < 20; ++round) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    const QPixmap picture = window.screen()->grabWindow(window.winId());
    if (!picture.save(path)) {
        std::fprintf(stderr, "settingsshots: could not write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s (%dx%d)\n", qPrintable(path), window.width(), window.height());
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Glimbar"));
    QApplication::setApplicationDisplayName(QStringLiteral("Glimbar"));
    if (argc != 2) {
        std::fprintf(stderr, "usage: settingsshots <folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "settingsshots: could not make %s\n", argv[1]);
        return 1;
    }
    QTemporaryDir store;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, store.path());
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    SettingsStore settingsStore;
    const Settings settingsOfRun(settingsStore);
    PictureUpdater updater;
    bool ok = true;
    for (const auto &[scheme, palette] : { std::pair(QStringLiteral("light"), QApplication::style()->standardPalette()),
             std::pair(QStringLiteral("dark"), darkPalette()) }) {
        QApplication::setPalette(palette);
        SettingsTab selected = SettingsTab::general;
        SettingsView settings(selected, updater, settingsOfRun);
        for (SettingsTab tab : allCases<SettingsTab>()) {
            settings.showTab(tab);
            ok &= grab(settings, folder.filePath(QStringLiteral("settings-%1-%2.png").arg(rawValue(tab), scheme)));
        }
        settings.close();

        ViewOptions options(settingsOfRun);
        for (IconViewMode mode : allCases<IconViewMode>()) {
            settingsOfRun.iconViewMode().write(mode);
            ok &= grab(options, folder.filePath(QStringLiteral("viewoptions-%1-%2.png").arg(rawValue(mode), scheme)));
        }
        options.close();
    }
    return ok ? 0 : 1;
}
