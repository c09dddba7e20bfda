// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/containermanager.h"
#include "library/iconselectionmanager.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// Stable identifiers named by one letter, so that tables read as "a b c".
QUuid idOf(QChar name)
{
    return QUuid(0x1000u + name.unicode(), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
}

QString namesOf(const IconSelection &selection)
{
    QStringList names;
    for (const QUuid &id : selection)
        names.append(QChar(char16_t(id.data1 - 0x1000u)));
    return names.join(u' ');
}

IconSelection selectionOf(const QString &names)
{
    IconSelection selection;
    for (const QString &name : names.split(u' ', Qt::SkipEmptyParts))
        selection.insert(idOf(name.at(0)));
    return selection;
}

QString namesOf(const QList<Icon> &icons)
{
    QStringList names;
    for (const Icon &icon : icons)
        names.append(icon.name);
    return names.join(u' ');
}

Icon iconOf(QChar name, const QUuid &containerID, const QString &displayName = {})
{
    Icon icon;
    icon.id = idOf(name);
    icon.containerID = containerID;
    icon.name = displayName.isEmpty() ? QString(name) : displayName;
    return icon;
}

const QUuid containerA = QUuid(0xa, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);
const QUuid containerB = QUuid(0xb, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);
const QUuid containerGone = QUuid(0xdead, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);

} // namespace

class TestIconSelectionManager : public QObject
{
    Q_OBJECT

    ContainerManager m_library;

private slots:
    void init()
    {
        // Icons a and b lie in A, c in B. A second container with A's identifier comes later in
        // library order: its b (named "b in copy") and its d must never resolve. Lookups: e is an
        // icon gone from its container, f names a container gone from the library, g's entry
        // names the wrong container, h has no entry at all.
        m_library.setContainers({
            IconContainer { .id = containerA, .icons = { iconOf(u'a', containerA), iconOf(u'b', containerA) } },
            IconContainer { .id = containerB, .icons = { iconOf(u'c', containerB), iconOf(u'g', containerB) } },
            IconContainer {
                .id = containerA, .icons = { iconOf(u'b', containerA, u"b in copy"_s), iconOf(u'd', containerA) } },
        });
        m_library.setIconLookupSet({
            { idOf(u'a'), containerA },
            { idOf(u'b'), containerA },
            { idOf(u'c'), containerB },
            { idOf(u'd'), containerA },
            { idOf(u'e'), containerA },
            { idOf(u'f'), containerGone },
            { idOf(u'g'), containerA },
        });
    }

    void edits_data()
    {
        QTest::addColumn<QString>("operations");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("changes");

        // "+x" selects x, "+_" selects no identifier, "*x_y" selects several at once, "-x" deselects x,
        // "=x_y" replaces the whole.
        QTest::newRow("select without identifier") << u"+_"_s << u""_s << 0;
        QTest::newRow("selected again keeps its place") << u"+a +b +c +a"_s << u"a b c"_s << 4;
        QTest::newRow("deselected then selected goes last") << u"+a +b +c -b +b"_s << u"a c b"_s << 5;
        QTest::newRow("deselecting keeps the others' order") << u"+a +b +c +d -b"_s << u"a c d"_s << 5;
        QTest::newRow("deselecting an absent one still notifies") << u"+a +b -c"_s << u"a b"_s << 3;
        QTest::newRow("deselecting from empty") << u"-a"_s << u""_s << 1;
        QTest::newRow("replacing with the same still notifies") << u"=a_b =a_b"_s << u"a b"_s << 2;
        QTest::newRow("replacing drops the order before") << u"+c +a =a_b_c"_s << u"a b c"_s << 3;
        QTest::newRow("several at once, one change") << u"+b *a_b_c"_s << u"b a c"_s << 2;
        QTest::newRow("several already selected still notify") << u"+a +b *b_a"_s << u"a b"_s << 3;
    }

    void edits()
    {
        QFETCH(QString, operations);
        QFETCH(QString, expected);
        QFETCH(int, changes);

        IconSelectionManager manager;
        QSignalSpy spy(&manager, &IconSelectionManager::selectionChanged);
        for (const QString &operation : operations.split(u' ')) {
            const QString argument = operation.mid(1);
            switch (operation.at(0).unicode()) {
            case u'+':
                manager.select(argument == u"_"_s ? std::nullopt : std::optional(idOf(argument.at(0))));
                break;
            case u'-':
                manager.deselect(idOf(argument.at(0)));
                break;
            case u'*': {
                QList<QUuid> ids;
                for (const QString &name : argument.split(u'_'))
                    ids.append(idOf(name.at(0)));
                manager.select(ids);
                break;
            }
            case u'=':
                manager.setSelection(selectionOf(QString(argument).replace(u'_', u' ')));
                break;
            }
        }
        QCOMPARE(namesOf(manager.selection()), expected);
        QCOMPARE(spy.count(), changes);
    }

    void selectedIcons_data()
    {
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QString>("expected");

        QTest::newRow("empty") << u""_s << u""_s;
        QTest::newRow("selection order across containers") << u"c b a"_s << u"c b a"_s;
        QTest::newRow("first container of a shared identifier") << u"b d"_s << u"b"_s;
        QTest::newRow("icon gone from its container") << u"e a"_s << u"a"_s;
        QTest::newRow("container gone from the library") << u"f c"_s << u"c"_s;
        QTest::newRow("lookup naming the wrong container") << u"g c"_s << u"c"_s;
        QTest::newRow("no lookup entry") << u"a h c"_s << u"a c"_s;
        // The last icon belongs to the last identifier that still resolves.
        QTest::newRow("unresolved at the end") << u"c a e f h"_s << u"c a"_s;
    }

    void selectedIcons()
    {
        QFETCH(QString, selection);
        QFETCH(QString, expected);
        QCOMPARE(namesOf(::selectedIcons(m_library, selectionOf(selection))), expected);
        // The last one alone, as the Quick Drop area asks for it, is the last of the whole.
        const Icon *last = lastSelectedIcon(m_library, selectionOf(selection));
        QCOMPARE(last ? last->name : QString(), expected.split(u' ').last());
    }

    // A library handed in stands apart from another, and its index follows each change.
    void aLibraryOfItsOwn()
    {
        ContainerManager library;
        QCOMPARE(namesOf(::selectedIcons(library, selectionOf(u"a c"_s))), u""_s);
        library.setContainers({ IconContainer { .id = containerB, .icons = { iconOf(u'c', containerB) } } });
        library.setIconLookupSet({ { idOf(u'c'), containerB }, { idOf(u'x'), containerB } });
        QCOMPARE(namesOf(::selectedIcons(library, selectionOf(u"a c x"_s))), u"c"_s);
        library.setContainers({ IconContainer {
            .id = containerB, .icons = { iconOf(u'x', containerB, u"new x"_s), iconOf(u'c', containerB) } } });
        QCOMPARE(namesOf(::selectedIcons(library, selectionOf(u"a c x"_s))), u"c new x"_s);
        QCOMPARE(namesOf(::selectedIcons(m_library, selectionOf(u"a c x"_s))), u"a c"_s);
    }

    void pruneFilter_data()
    {
        QTest::addColumn<QList<QUuid>>("containers");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("changes");

        // a lies in A, c in B; h does not resolve.
        QTest::newRow("both stay selected") << QList { containerA, containerB } << u"a h c"_s << 0;
        QTest::newRow("reduced to B") << QList { containerB } << u"h c"_s << 1;
        QTest::newRow("reduced to A") << QList { containerA } << u"a h"_s << 1;
        QTest::newRow("reduced to nothing, in one change") << QList<QUuid>() << u"h"_s << 1;
    }

    void pruneFilter()
    {
        QFETCH(QList<QUuid>, containers);
        QFETCH(QString, expected);
        QFETCH(int, changes);

        IconSelectionManager manager;
        manager.setSelection(selectionOf(u"a h c"_s));
        QSignalSpy spy(&manager, &IconSelectionManager::selectionChanged);
        selectionPruneFilter(m_library, manager, QSet<QUuid>(containers.cbegin(), containers.cend()));
        QCOMPARE(namesOf(manager.selection()), expected);
        QCOMPARE(spy.count(), changes);
    }
};

QTEST_GUILESS_MAIN(TestIconSelectionManager)
#include "tst_iconselectionmanager.moc"
