// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/exportdestinationdialog.h"

#include "support/libraryfixture.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

enum class Naming {
    proposed, // the name the dialog proposes, as it stands
    typed, // typed into the name field
    opened, // the item opened from the list with a double click
};

QLineEdit *nameField(const ExportDestinationDialog &dialog)
{
    return dialog.findChild<QLineEdit *>(u"fileNameEdit"_s);
}

} // namespace

Q_DECLARE_METATYPE(Naming)

class TestExportDestinationDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString folder() const { return m_dir->path(); }

    // Double-clicks the item `name` of the folder the dialog shows, once the dialog lists it.
    static void open(ExportDestinationDialog &dialog, const QString &name)
    {
        // The list or the detail view, whichever the dialog shows.
        QAbstractItemView *list = nullptr;
        for (auto *view : dialog.findChildren<QAbstractItemView *>()) {
            if (view->isVisible() && (view->objectName() == u"listView"_s || view->objectName() == u"treeView"_s))
                list = view;
        }
        QVERIFY(list);
        QModelIndex item;
        QTRY_VERIFY((item =
                         [&] {
                             const QAbstractItemModel *model = list->model();
                             for (int row = 0; row < model->rowCount(list->rootIndex()); ++row) {
                                 const QModelIndex index = model->index(row, 0, list->rootIndex());
                                 if (index.data().toString() == name)
                                     return index;
                             }
                             return QModelIndex();
                         }())
                        .isValid());
        list->scrollTo(item);
        const QPoint centre = list->visualRect(item).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        // Two earlier exports, an older single-file archive and a plain folder.
        QVERIFY(LibraryFixture::writeFile(folder() + u"/Space.ravivovode/info.json"_s, "{}"));
        QVERIFY(LibraryFixture::writeFile(folder() + u"/Moon.ravivovode/info.json"_s, "{}"));
        QVERIFY(LibraryFixture::writeFile(folder() + u"/Old.ravivovode"_s, "archive"));
        QVERIFY(QDir(folder()).mkdir(u"Plain"_s));
    }

    void choose_data()
    {
        QTest::addColumn<Naming>("naming");
        QTest::addColumn<QString>("name");
        // The name the replace question is asked for; empty when none is to be asked.
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("chosen");

        QTest::newRow("earlier export proposed")
            << Naming::proposed << u"Space.ravivovode"_s << u"Space.ravivovode"_s << u"Space.ravivovode"_s;
        QTest::newRow("earlier export typed")
            << Naming::typed << u"Space.ravivovode"_s << u"Space.ravivovode"_s << u"Space.ravivovode"_s;
        QTest::newRow("earlier export typed without extension")
            << Naming::typed << u"Space"_s << u"Space.ravivovode"_s << u"Space.ravivovode"_s;
        QTest::newRow("other export opened from the list")
            << Naming::opened << u"Moon.ravivovode"_s << u"Moon.ravivovode"_s << u"Moon.ravivovode"_s;
        QTest::newRow("archive typed without extension")
            << Naming::typed << u"Old"_s << u"Old.ravivovode"_s << u"Old.ravivovode"_s;
        QTest::newRow("new name") << Naming::typed << u"Mine"_s << QString() << u"Mine.ravivovode"_s;
        QTest::newRow("new name with another extension")
            << Naming::typed << u"Space.old"_s << QString() << u"Space.old.ravivovode"_s;
    }

    // Whatever way an existing document is named, the dialog stays in its folder and asks before
    // replacing it, for the name that is written; "No" returns to the dialog as it was.
    void choose()
    {
        QFETCH(Naming, naming);
        QFETCH(QString, name);
        QFETCH(QString, asked);
        QFETCH(QString, chosen);

        for (const bool replace : { false, true }) {
            ExportDestinationDialog dialog(nullptr, folder(), u"Space.ravivovode"_s);
            dialog.open();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            QCOMPARE(dialog.directory().absolutePath(), folder());
            QLineEdit *field = nameField(dialog);
            QVERIFY(field);
            QCOMPARE(field->text(), u"Space.ravivovode"_s);

            if (naming == Naming::typed) {
                field->clear();
                QTest::keyClicks(field, name);
            } else if (naming == Naming::opened) {
                open(dialog, name);
                QTRY_COMPARE(field->text(), name);
            }
            QCOMPARE(dialog.directory().absolutePath(), folder());
            QTest::keyClick(field, Qt::Key_Return);

            if (asked.isEmpty()) {
                QVERIFY(!dialog.replaceQuestion());
                QCOMPARE(dialog.result(), int(QDialog::Accepted));
                QCOMPARE(dialog.chosen(), folder() + u'/' + chosen);
                return;
            }
            QMessageBox *question = dialog.replaceQuestion();
            QVERIFY(question);
            QTRY_VERIFY(question->isVisible());
            QVERIFY2(question->text().contains(u"“"_s + asked + u"”"_s), qPrintable(question->text()));
            QCOMPARE(question->defaultButton(), question->button(QMessageBox::No));
            question->button(replace ? QMessageBox::Yes : QMessageBox::No)->click();
            QTRY_VERIFY(!dialog.replaceQuestion());
            QCOMPARE(dialog.directory().absolutePath(), folder());
            if (replace) {
                QCOMPARE(dialog.result(), int(QDialog::Accepted));
                QVERIFY(!dialog.isVisible());
                QCOMPARE(dialog.chosen(), folder() + u'/' + chosen);
            } else {
                QVERIFY(dialog.isVisible());
                QVERIFY(dialog.chosen().isEmpty());
            }
        }
        // The earlier export was only named, never written into.
        QCOMPARE(LibraryFixture::listing(folder() + u"/Space.ravivovode"_s), QStringList { u"info.json"_s });
    }

    // The dialog's history can lead back into a document it stepped out of; accepting there leads
    // out again instead of writing into it, and the next accept asks to replace the document.
    void backIntoADocument()
    {
        ExportDestinationDialog dialog(nullptr, folder(), u"Mine.ravivovode"_s);
        dialog.open();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QLineEdit *field = nameField(dialog);
        open(dialog, u"Space.ravivovode"_s);
        QTRY_COMPARE(field->text(), u"Space.ravivovode"_s);
        QCOMPARE(dialog.directory().absolutePath(), folder());
        auto *back = dialog.findChild<QToolButton *>(u"backButton"_s);
        QVERIFY(back);
        QTRY_VERIFY(back->isEnabled());
        back->click();
        QTRY_COMPARE(dialog.directory().absolutePath(), folder() + u"/Space.ravivovode"_s);
        field->setText(u"Space.ravivovode"_s);

        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.chosen().isEmpty());
        QVERIFY(!dialog.replaceQuestion());
        QCOMPARE(dialog.directory().absolutePath(), folder());
        QCOMPARE(field->text(), u"Space.ravivovode"_s);

        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(dialog.replaceQuestion());
        dialog.replaceQuestion()->button(QMessageBox::Yes)->click();
        QTRY_COMPARE(dialog.chosen(), folder() + u"/Space.ravivovode"_s);
        QCOMPARE(LibraryFixture::listing(folder() + u"/Space.ravivovode"_s), QStringList { u"info.json"_s });
    }

    // A folder that leads into a document under another name is inside it all the same.
    void linkIntoADocument()
    {
        QVERIFY(QFile::link(folder() + u"/Space.ravivovode"_s, folder() + u"/Shortcut"_s));
        ExportDestinationDialog dialog(nullptr, folder() + u"/Shortcut"_s, u"Mine.ravivovode"_s);
        dialog.open();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.setDirectory(folder() + u"/Shortcut"_s);
        QTest::keyClick(nameField(dialog), Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.chosen().isEmpty());
        QCOMPARE(dialog.directory().absolutePath(), folder());
    }

    void neverStartsInsideADocument()
    {
        ExportDestinationDialog dialog(nullptr, folder() + u"/Space.ravivovode"_s, u"Space.ravivovode"_s);
        QCOMPARE(dialog.directory().absolutePath(), folder());
    }

    // A plain folder is still somewhere to go.
    void plainFolderIsEntered()
    {
        ExportDestinationDialog dialog(nullptr, folder(), u"Space.ravivovode"_s);
        dialog.open();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QLineEdit *field = nameField(dialog);
        field->clear();
        QTest::keyClicks(field, u"Plain"_s);
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.replaceQuestion());
        QCOMPARE(dialog.directory().absolutePath(), folder() + u"/Plain"_s);
    }
};

QTEST_MAIN(TestExportDestinationDialog)
#include "tst_exportdestinationdialog.moc"
