// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/settings.h"
#include "platform/settings/settingsstore.h"
#include "settings/formgridrow.h"
#include "settings/radiopicker.h"
#include "settings/viewoptions.h"
#include "support/settingsfixture.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// The texts of the window's visible controls and labels, top to bottom.
QStringList shownTexts(const QWidget &window)
{
    QList<QWidget *> widgets;
    for (QWidget *widget : window.findChildren<QWidget *>()) {
        if (widget->isVisibleTo(&window) && (qobject_cast<QAbstractButton *>(widget) || qobject_cast<QLabel *>(widget)))
            widgets.append(widget);
    }
    std::ranges::stable_sort(widgets, [&window](QWidget *a, QWidget *b) {
        return a->mapTo(&window, QPoint()).y() < b->mapTo(&window, QPoint()).y();
    });
    QStringList texts;
    for (QWidget *widget : widgets) {
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            texts.append(button->text());
        else
            texts.append(static_cast<QLabel *>(widget)->text());
    }
    return texts;
}

template <typename T> T *withText(const QWidget &window, const QString &text)
{
    for (T *widget : window.findChildren<T *>()) {
        if (widget->text() == text)
            return widget;
    }
    return nullptr;
}

} // namespace

class TestViewOptions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_settings.isValid()); }
    void init() { m_settings.clear(); }

    void rowsPerMode_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("grid") << u"grid"_s
                              << QStringList({ u"Show icon names in grid view"_s,
                                     u"Icon names are shown for preview size 64 and larger."_s });
        QTest::newRow("list") << u"list"_s
                              << QStringList({ u"Thumbnail Size:"_s, u"Small (16 pt)"_s, u"Default (32 pt)"_s,
                                     u"Large (64 pt)"_s });
        QTest::newRow("gallery") << u"gallery"_s
                                 << QStringList({ u"Thumbnail Size:"_s, u"Small (32 pt)"_s, u"Default (64 pt)"_s,
                                        u"Large (128 pt)"_s, u"Show icon names in gallery view"_s });
        // A mode the program does not know is the default, grid.
        QTest::newRow("unknown") << u"columns"_s
                                 << QStringList({ u"Show icon names in grid view"_s,
                                        u"Icon names are shown for preview size 64 and larger."_s });
    }

    // Opened in each mode, and switched to it while open from another: the same rows, the same
    // fixed width, a height that fits them.
    void rowsPerMode()
    {
        QFETCH(QString, mode);
        QFETCH(QStringList, texts);
        m_settings.store().setValue(u"iconViewMode"_s, mode);
        ViewOptions opened(m_settings.settings());
        opened.show();
        QVERIFY(QTest::qWaitForWindowExposed(&opened));
        QCOMPARE(shownTexts(opened), texts);

        m_settings.store().setValue(u"iconViewMode"_s, mode == u"list"_s ? u"gallery"_s : u"list"_s);
        ViewOptions switched(m_settings.settings());
        switched.show();
        m_settings.settings().iconViewMode().write(fromRawValue<IconViewMode>(mode).value_or(IconViewMode::grid));
        QCoreApplication::processEvents();
        QCOMPARE(shownTexts(switched), texts);

        for (const ViewOptions *window : { &opened, &switched }) {
            QCOMPARE(window->width(), 250);
            QCOMPARE(window->minimumSize(), window->maximumSize());
            QVERIFY(window->height() >= window->layout()->minimumSize().height());
        }
    }

    // Defaults: Default chosen, toggles off; each control writes its key and follows it.
    void controlsBindKeys()
    {
        m_settings.settings().iconViewMode().write(IconViewMode::gallery);
        ViewOptions window(m_settings.settings());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QRadioButton *large = withText<QRadioButton>(window, u"Large (128 pt)"_s);
        QVERIFY(large);
        QVERIFY(withText<QRadioButton>(window, u"Default (64 pt)"_s)->isChecked());
        QCheckBox *names = withText<QCheckBox>(window, u"Show icon names in gallery view"_s);
        QVERIFY(!names->isChecked());

        QTest::mouseClick(large, Qt::LeftButton);
        QCOMPARE(m_settings.store().value(u"galleryIconSize"_s).toString(), u"large"_s);
        QTest::mouseClick(names, Qt::LeftButton);
        QCOMPARE(m_settings.settings().showIconNamesInGallery().read(), true);

        m_settings.settings().galleryIconSize().write(GalleryIconSize::small);
        QVERIFY(withText<QRadioButton>(window, u"Small (32 pt)"_s)->isChecked());
        m_settings.settings().showIconNamesInGallery().write(false);
        QVERIFY(!names->isChecked());

        m_settings.settings().iconViewMode().write(IconViewMode::list);
        QTest::mouseClick(withText<QRadioButton>(window, u"Large (64 pt)"_s), Qt::LeftButton);
        QCOMPARE(m_settings.settings().listIconSize().read(), ListIconSize::large);
        m_settings.settings().iconViewMode().write(IconViewMode::grid);
        QTest::mouseClick(withText<QCheckBox>(window, u"Show icon names in grid view"_s), Qt::LeftButton);
        QCOMPARE(m_settings.settings().showIconNamesInGrid().read(), true);
    }

    void formGridRow()
    {
        QWidget form;
        auto *grid = new QGridLayout(&form);
        auto *titled = new RadioPicker(u"Thumbnail Size"_s, { u"A"_s, u"B"_s, u"C"_s });
        auto *untitled = new RadioPicker(u"Thumbnail Size"_s, { u"A"_s, u"B"_s, u"C"_s });
        auto *plain = new QCheckBox(u"Plain"_s);
        QLabel *shownTitle = FormGridRow(u"Thumbnail Size"_s, titled, { .topAlignLabel = true }).addTo(grid, 0);
        QLabel *hiddenTitle
            = FormGridRow(u"Thumbnail Size"_s, untitled, { .topAlignLabel = true, .hideViewLabel = true })
                  .addTo(grid, 1);
        QCOMPARE(FormGridRow(std::nullopt, plain, {}).addTo(grid, 2), nullptr);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        QCOMPARE(hiddenTitle->text(), u"Thumbnail Size:"_s);
        QVERIFY(hiddenTitle->geometry().right() >= grid->cellRect(1, 0).right() - 1);
        // The picker's own title shows unless the row hides it.
        QVERIFY(titled->titleLabel()->isVisible());
        QVERIFY(!untitled->titleLabel()->isVisible());
        // Top-aligned: level with the first line (the title, else the first button), not the middle.
        const auto level = [](const QWidget *a, const QWidget *b) {
            const QWidget *window = a->window();
            const int aMiddle = a->mapTo(window, a->rect().center()).y();
            const int bMiddle = b->mapTo(window, b->rect().center()).y();
            return qAbs(aMiddle - bMiddle) <= 1;
        };
        QVERIFY(level(shownTitle, titled->titleLabel()));
        QVERIFY(level(hiddenTitle, untitled->button(0)));
        QVERIFY(!level(hiddenTitle, untitled));
        // Without a label the first column stays empty and the row is as tall as its control.
        QVERIFY(!grid->itemAtPosition(2, 0));
        QCOMPARE(grid->cellRect(2, 1).height(), plain->height());
    }

private:
    SettingsFixture m_settings;
};

QTEST_MAIN(TestViewOptions)
#include "tst_viewoptions.moc"
