// SPDX-License-Identifier: GPL-3.0-or-later
// Shows the export options sheet (filled, then with the author information off) and the download
// sheet holding the sample collection, in a light and a dark palette, and saves a screenshot of
// each into the folder given. Needs a real display; from the build folder:
//   xvfb-run -s "-screen 0 1600x1000x24" tools/sheetscreenshots /tmp/shots

#include "library/containerdownload.h"
#include "library/containermanager.h"
#include "library/thumbnailprovider.h"
#include "mainwindow/downloadsheet.h"
#include "mainwindow/exportoptionssheet.h"
#include "mainwindow/failurealert.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QPalette>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QThreadPool>
#include <QWindow>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

QPalette darkPalette()
{
    QPalette palette;
    const QColor window(45, 45, 48);
    const QColor base(30, 30, 32);
    const QColor text(230, 230, 230);
    const QColor disabledText(128, 128, 128);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, QColor(55, 55, 58));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(60, 60, 64));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::ToolTipBase, base);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::Highlight, QColor(42, 130, 218));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::PlaceholderText, disabledText);
    for (const auto role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        palette.setColor(QPalette::Disabled, role, disabledText);
    return palette;
}

void settle(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThreadPool::globalInstance()->waitForDone(20);
    }
}

bool shoot(QWidget &widget, const QString &path)
{
    widget.show();
    widget.raise();
    settle(600);
    const QPixmap picture = widget.screen()->grabWindow(widget.winId());
    if (picture.isNull() || !picture.save(path)) {
        std::fprintf(stderr, "could not save %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    widget.hide();
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(output))
        return 1;
    QApplication::setStyle(QStyleFactory::create(u"Fusion"_s));

    ContainerManager manager;
    ThumbnailProvider thumbnails;
    const std::optional<IconContainer> sample
        = manager.importLegacyContainer(QString::fromUtf8(GLIMBAR_SAMPLES) + u"/Starter Shapes.ravivovode"_s);
    if (!sample) {
        std::fprintf(stderr, "the sample archive could not be read\n");
        return 1;
    }
    IconContainer filled = *sample;
    filled.authorName = u"Ann Example"_s;
    filled.authorEmail = u"ann@example.com"_s;
    filled.authorURL = u"https://example.com/icons"_s;
    filled.copyright = u"© 2026 Ann Example"_s;

    bool ok = true;
    const std::pair<const char *, QPalette> palettes[]
        = { { "light", QApplication::style()->standardPalette() }, { "dark", darkPalette() } };
    for (const auto &[name, palette] : palettes) {
        QApplication::setPalette(palette);
        const QString suffix = u"-"_s + QString::fromLatin1(name) + u".png"_s;
        {
            ExportOptionsSheet sheet(filled);
            ok &= shoot(sheet, output + u"/export-filled"_s + suffix);
            sheet.findChild<QCheckBox *>()->setChecked(false);
            ok &= shoot(sheet, output + u"/export-author-off"_s + suffix);
        }
        {
            DownloadSheet sheet(filled, manager, thumbnails);
            ok &= shoot(sheet, output + u"/download"_s + suffix);
        }
        {
            DownloadSheet sheet(std::nullopt, manager, thumbnails);
            ok &= shoot(sheet, output + u"/download-empty"_s + suffix);
        }
        // The alerts of failed roads, with texts as the roads give them.
        const std::pair<const char *, std::pair<QString, QString>> alerts[] = {
            { "alert-import",
                { u"Saving the rAvivovode failed."_s,
                    u"“notes.ravivovode” couldn’t be imported: it isn’t an rAvivovode archive.\n\n"
                    u"“Fresh Shapes.ravivovode” couldn’t be saved into the library: The file “Star.icns” "
                    u"couldn’t be saved: No space left on device\nSaving the icon failed."_s } },
            { "alert-download", { errorDescription(ContainerError::downloadFailed), u"Couldn't connect to server"_s } },
            { "alert-link",
                { errorDescription(ContainerError::invalidURL),
                    ContainerDownload::refusedLinkReason(u"glimbar://download/ftp://example.org/x"_s) } },
            { "alert-icons",
                { u"The icons couldn’t be exported."_s,
                    u"The file “Star.png” couldn’t be read: it has changed since the library was read"_s } },
        };
        for (const auto &[file, texts] : alerts) {
            FailureAlert alert(texts.first, texts.second, nullptr);
            alert.setWindowModality(Qt::NonModal);
            ok &= shoot(alert, output + u'/' + QString::fromLatin1(file) + suffix);
        }
    }
    return ok ? 0 : 1;
}
