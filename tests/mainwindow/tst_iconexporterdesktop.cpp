// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/iconexporter.h"

#include "platform/desktop/giofileiconsetter.h"
#include "support/icnsbuilder.h"
#include "support/libraryfixture.h"
#include "support/privatesessionbus.h"
#include "support/settingsfixture.h"
#include "support/standardoutputcapture.h"

#include <QDir>
#include <QLoggingCategory>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

Icon icnsIcon(const QString &name)
{
    const QByteArray icns = IcnsBuilder().add("ic07", IcnsBuilder::png(IcnsBuilder::pattern(128, 128))).build();
    return Icon { .id = QUuid::createUuid(),
        .containerID = QUuid::createUuid(),
        .name = name,
        .type = IconFileType::icns,
        .icnsData = icns };
}

} // namespace

// The folder form of the export through the real set-icon layer, as the program runs it.
class TestIconExporterDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_fixture.isValid() && m_settings.isValid() && m_temp.isValid() && m_metadataHome.isValid());
        qputenv("TMPDIR", QFile::encodeName(m_temp.path()));
        m_bus = std::make_unique<PrivateSessionBus>(m_metadataHome.path());
        QVERIFY2(m_bus->isRunning(), qPrintable(m_bus->errorString()));
    }

    void cleanupTestCase()
    {
        m_fixture.reset();
        m_bus.reset();
    }

    void init()
    {
        m_fixture.reset();
        m_destination = std::make_unique<QTemporaryDir>();
        QVERIFY(m_destination->isValid());
    }

    void cleanup() { QLoggingCategory::setFilterRules(QString()); }

    // With the picture store unwritable no folder gets its icon: the export fails and leaves
    // nothing behind.
    void unwritablePictureStoreFailsTheExport()
    {
        QVERIFY(LibraryFixture::writeFile(GioFileIconSetter::customIconFolder(), "a file in the way"));
        IconExporter exporter(m_iconSetter, m_settings.settings());
        exporter.setFolderPicker([this](QWidget *) { return m_destination->path(); });
        // The test log shares standard output with the program's lines.
        QLoggingCategory::setFilterRules(u"glimbar.*.warning=false"_s);
        StandardOutputCapture output;
        exporter.exportIcons({ icnsIcon(u"Star"_s), icnsIcon(u"Moon"_s), icnsIcon(u"Sun"_s) });

        QCOMPARE(output.takeLines(), QStringList { u"The icon “Star” couldn’t be exported."_s });
        QCOMPARE(LibraryFixture::listing(m_destination->path()), QStringList());
    }

    // The exported folder keeps its picture inside, so a copy of it still shows the icon.
    void exportedFolderTravels()
    {
        const auto urls = IconExporter::writeIcons(
            { icnsIcon(u"Star"_s) }, m_destination->path(), m_iconSetter, m_settings.settings());
        QVERIFY(urls);
        const QString folder = m_destination->filePath(u"Star"_s);
        QCOMPARE(urls.value(), QList<QUrl> { QUrl::fromLocalFile(folder + u'/') });
        QVERIFY(!customIconSeenByGio(folder).isEmpty());

        QTemporaryDir elsewhere;
        const QString copy = elsewhere.filePath(u"Star"_s);
        QVERIFY(QDir().mkdir(copy));
        const QStringList members = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(members.size(), 2);
        for (const QString &member : members)
            QVERIFY(QFile::copy(folder + u'/' + member, copy + u'/' + member));
        QVERIFY(QDir(folder).removeRecursively());

        QSettings directory(copy + u"/.directory"_s, QSettings::IniFormat);
        const QString icon = directory.value(u"Desktop Entry/Icon"_s).toString();
        QVERIFY2(icon.startsWith(u"./."_s), qPrintable(icon));
        QCOMPARE(QImage(copy + icon.mid(1)).size(), QSize(128, 128));
    }

private:
    std::shared_ptr<FileIconSetter> m_iconSetter = std::make_shared<GioFileIconSetter>();
    LibraryFixture m_fixture;
    SettingsFixture m_settings;
    QTemporaryDir m_temp;
    QTemporaryDir m_metadataHome;
    std::unique_ptr<PrivateSessionBus> m_bus;
    std::unique_ptr<QTemporaryDir> m_destination;
};

QTEST_MAIN(TestIconExporterDesktop)
#include "tst_iconexporterdesktop.moc"
