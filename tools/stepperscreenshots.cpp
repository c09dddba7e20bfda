// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures of the preview-size stepper for checking its look by eye: enabled, disabled and
// editing, in a light and a dark palette, each in a small status-bar-like strip. Writes PNGs into
// the given folder; nothing it writes is committed.
//
//   xvfb-run -a build/dev/tools/stepperscreenshots /tmp/stepper
//   QT_SCALE_FACTOR=2 xvfb-run -a build/dev/tools/stepperscreenshots /tmp/stepper

#include "collections/iconpreviewsizestepper.h"
#include "library/settings.h"
#include "platform/settings/settingsstore.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

QPalette darkPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    palette.setColor(QPalette::WindowText, QColor(0xe6, 0xe6, 0xe6));
    palette.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    palette.setColor(QPalette::Text, QColor(0xe6, 0xe6, 0xe6));
    palette.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    palette.setColor(QPalette::ButtonText, QColor(0xe6, 0xe6, 0xe6));
    palette.setColor(QPalette::Highlight, QColor(0x2f, 0x6f, 0xd0));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    return palette;
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QApplication app(argc, argv);
    SettingsStore store;
    const Settings settingsOfRun(store);
    if (argc < 2) {
        std::fprintf(stderr, "usage: stepperscreenshots <folder>\n");
        return 2;
    }
    QDir().mkpath(QString::fromLocal8Bit(argv[1]));
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString scale = QString::number(app.devicePixelRatio());

    const QPalette light = QApplication::palette();
    for (const auto &[paletteName, palette] :
        { std::pair { u"light"_s, light }, std::pair { u"dark"_s, darkPalette() } }) {
        for (const QString &state : { u"enabled"_s, u"disabled"_s, u"editing"_s }) {
            QWidget strip;
            strip.setPalette(palette);
            strip.setAutoFillBackground(true);
            auto *layout = new QHBoxLayout(&strip);
            layout->setContentsMargins(8, 4, 8, 4);
            layout->addWidget(new QLabel(u"12 icons"_s));
            layout->addStretch();
            auto *stepper = new IconPreviewSizeStepper(settingsOfRun);
            layout->addWidget(stepper);
            stepper->setEnabled(state != "disabled"_L1);
            strip.resize(260, strip.sizeHint().height());
            strip.show();
            QTest::qWait(50);
            if (state == "editing"_L1) {
                QTest::mouseClick(stepper->findChild<QLabel *>(), Qt::LeftButton);
                QTest::keyClicks(stepper->findChild<QLineEdit *>(), u"200"_s);
                QTest::qWait(50);
            }
            const QString name = u"stepper-%1-%2-%3x.png"_s.arg(paletteName, state, scale);
            strip.grab().save(out.filePath(name));
            std::printf("%s\n", qPrintable(out.filePath(name)));
        }
    }
    return 0;
}
