// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/icnsbuilder.h"
#include "support/libraryfixture.h"

#include "library/containermanager.h"
#include "library/libraryidentity.h"
#include "model/containerjson.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// A container folder in the library holding one PNG per name, with an info.json naming them.
bool writeContainer(const LibraryFixture &fixture, const QString &folder, const QStringList &icons)
{
    IconContainer container { .title = folder };
    for (const QString &name : icons) {
        Icon entry;
        entry.name = name;
        entry.type = IconFileType::image;
        entry.filename = name + u".png"_s;
        container.icons.append(entry);
        if (!LibraryFixture::writeFile(fixture.libraryFolder() + u'/' + folder + u'/' + *entry.filename,
                IcnsBuilder::png(IcnsBuilder::pattern(16, 16))))
            return false;
    }
    return LibraryFixture::writeFile(
        fixture.libraryFolder() + u'/' + folder + u"/info.json"_s, encodeContainerJson(container).value());
}

QUuid iconId(const QList<IconContainer> &library, const QString &folder, const QString &name)
{
    for (const IconContainer &container : library) {
        for (const Icon &icon : container.icons) {
            if (container.folderName == folder && icon.name == name)
                return icon.id;
        }
    }
    return {};
}

QUuid containerId(const QList<IconContainer> &library, const QString &folder)
{
    for (const IconContainer &container : library) {
        if (container.folderName == folder)
            return container.id;
    }
    return {};
}

} // namespace

class TestLibraryIdentity : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_fixture.reset(); }

    // Kept where the container and the icon still exist after the reload, dropped otherwise, in
    // the order selected.
    void selectionCarriesOverAReload()
    {
        QVERIFY(writeContainer(m_fixture, u"Sky.ravivovode"_s, { u"Sun"_s, u"Moon"_s, u"Star"_s }));
        QVERIFY(writeContainer(m_fixture, u"Sea.ravivovode"_s, { u"Fish"_s }));
        QVERIFY(writeContainer(m_fixture, u"Land.ravivovode"_s, { u"Tree"_s }));
        const auto before = LibraryFixture::load(m_manager);
        QVERIFY(before && before->size() == 3);
        QCOMPARE(before->first().folderName, u"Land.ravivovode"_s);

        IconSelection selection;
        for (const auto &[folder, name] : QList<QPair<QString, QString>> { { u"Sky.ravivovode"_s, u"Star"_s },
                 { u"Sea.ravivovode"_s, u"Fish"_s }, { u"Sky.ravivovode"_s, u"Moon"_s },
                 { u"Land.ravivovode"_s, u"Tree"_s }, { u"Sky.ravivovode"_s, u"Sun"_s } })
            selection.insert(iconId(*before, folder, name));
        // An identifier of no icon of the library, as one imported but never saved would be.
        selection.insert(QUuid::createUuid());
        const QSet<QUuid> containers { containerId(*before, u"Sky.ravivovode"_s),
            containerId(*before, u"Sea.ravivovode"_s), QUuid::createUuid() };

        // Moon's file and the whole of Sea go; Land gains an icon.
        QVERIFY(QFile::remove(m_fixture.libraryFolder() + u"/Sky.ravivovode/Moon.png"_s));
        QVERIFY(QDir(m_fixture.libraryFolder() + u"/Sea.ravivovode"_s).removeRecursively());
        QVERIFY(writeContainer(m_fixture, u"Land.ravivovode"_s, { u"Rock"_s, u"Tree"_s }));
        const auto after = LibraryFixture::load(m_manager);
        QVERIFY(after && after->size() == 2);

        const IconSelection carried = LibraryIdentity::carryOver(selection, *before, *after);
        const QList<QUuid> expected { iconId(*after, u"Sky.ravivovode"_s, u"Star"_s),
            iconId(*after, u"Land.ravivovode"_s, u"Tree"_s), iconId(*after, u"Sky.ravivovode"_s, u"Sun"_s) };
        QCOMPARE(QList<QUuid>(carried.begin(), carried.end()), expected);
        QVERIFY(!expected.contains(QUuid()));
        QCOMPARE(LibraryIdentity::carryOver(containers, *before, *after),
            QSet<QUuid> { containerId(*after, u"Sky.ravivovode"_s) });
    }

    // What was not read from the library has no identity to carry.
    void containersFromElsewhereAreDropped()
    {
        const Icon icon { .id = QUuid::createUuid(),
            .containerID = QUuid::createUuid(),
            .name = u"Sun"_s,
            .type = IconFileType::image,
            .imageData = IcnsBuilder::png(IcnsBuilder::pattern(16, 16)),
            .filename = u"Sun.png"_s };
        const IconContainer imported { .icons = { icon } };
        QVERIFY(!LibraryIdentity::of(imported, icon));
        IconSelection selection;
        selection.insert(icon.id);
        QVERIFY(LibraryIdentity::carryOver(selection, { imported }, { imported }).empty());
    }

private:
    LibraryFixture m_fixture;
    ContainerManager m_manager;
};

QTEST_GUILESS_MAIN(TestLibraryIdentity)
#include "tst_libraryidentity.moc"
