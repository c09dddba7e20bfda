// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/settings.h"
#include "platform/settings/settingsstore.h"
#include "settings/colorbutton.h"
#include "settings/generalsettingsview.h"
#include "settings/lowresolutionsettingsview.h"
#include "settings/radiopicker.h"
#include "settings/settingsspacer.h"
#include "settings/settingsview.h"
#include "settings/viewoptions.h"
#include "support/fakeupdater.h"
#include "support/settingsfixture.h"
#include "widgets/colorcontrast.h"

#include <QAction>
#include <QButtonGroup>
#include <QColorDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolBar>
#include <QVBoxLayout>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

RadioPicker *generalPicker(const GeneralSettingsView &view, const QString &key)
{
    return key == u"sidebarIconSize"_s ? view.sidebarIconSizePicker() : view.exportFormatPicker();
}

void notify(const Settings &settings, const QString &key)
{
    SettingsKeyNotifier *notifier = key == settings.sidebarIconSize().name()
        ? settings.sidebarIconSize().notifier()
        : settings.defaultDragAndDropFormat().notifier();
    Q_EMIT notifier->changed();
}

QStringList optionTexts(const RadioPicker *picker)
{
    QStringList texts;
    for (QAbstractButton *button : picker->group()->buttons())
        texts.append(button->text());
    return texts;
}

// Colours compared at the 8 bits a colour dialog works in.
bool sameColor(const QColor &a, const QColor &b)
{
    return qAbs(a.red() - b.red()) <= 1 && qAbs(a.green() - b.green()) <= 1 && qAbs(a.blue() - b.blue()) <= 1
        && qAbs(a.alpha() - b.alpha()) <= 1;
}

} // namespace

class TestSettingsTabs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_settings.isValid()); }
    void init() { m_settings.clear(); }

    void generalOptionTexts()
    {
        const GeneralSettingsView view(m_settings.settings());
        QCOMPARE(optionTexts(view.sidebarIconSizePicker()), QStringList({ u"Default (32 pt)"_s, u"Small (16 pt)"_s }));
        QCOMPARE(optionTexts(view.exportFormatPicker()), QStringList({ u"Folder"_s, u"Image (ICNS or PNG)"_s }));
    }

    void generalPickerWritesKey_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("stored");
        QTest::newRow("sidebar small") << u"sidebarIconSize"_s << 1 << u"small"_s;
        QTest::newRow("sidebar default") << u"sidebarIconSize"_s << 0 << u"default"_s;
        QTest::newRow("format image") << u"defaultDragAndDropFormat"_s << 1 << u"image"_s;
        QTest::newRow("format folder") << u"defaultDragAndDropFormat"_s << 0 << u"folder"_s;
    }

    void generalPickerWritesKey()
    {
        QFETCH(QString, key);
        QFETCH(int, position);
        QFETCH(QString, stored);
        // Start from the other option, so a click that writes nothing shows.
        m_settings.store().setValue(
            key, position == 0 ? (key == u"sidebarIconSize"_s ? u"small"_s : u"image"_s) : u"x"_s);
        const GeneralSettingsView view(m_settings.settings());
        QTest::mouseClick(generalPicker(view, key)->button(position), Qt::LeftButton);
        QCOMPARE(m_settings.store().value(key).toString(), stored);
    }

    // Stored values that name no option read as the default, and the default's button is chosen.
    void generalPickerFollowsKey_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("checked");
        QTest::newRow("sidebar small") << u"sidebarIconSize"_s << QVariant(u"small"_s) << 1;
        QTest::newRow("sidebar default") << u"sidebarIconSize"_s << QVariant(u"default"_s) << 0;
        QTest::newRow("sidebar unknown") << u"sidebarIconSize"_s << QVariant(u"huge"_s) << 0;
        QTest::newRow("sidebar wrong type") << u"sidebarIconSize"_s << QVariant(7) << 0;
        QTest::newRow("format image") << u"defaultDragAndDropFormat"_s << QVariant(u"image"_s) << 1;
        QTest::newRow("format unknown") << u"defaultDragAndDropFormat"_s << QVariant(u"Image"_s) << 0;
    }

    void generalPickerFollowsKey()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, stored);
        QFETCH(int, checked);
        // Opposite of the expected button first, so the view must follow the change.
        m_settings.store().setValue(
            key, checked == 0 ? (key == u"sidebarIconSize"_s ? u"small"_s : u"image"_s) : u""_s);
        const GeneralSettingsView view(m_settings.settings());
        QCOMPARE(generalPicker(view, key)->group()->checkedId(), 1 - checked);

        m_settings.store().setValue(key, stored);
        notify(m_settings.settings(), key);
        QCOMPARE(generalPicker(view, key)->group()->checkedId(), checked);
        // A second view opened now shows the same.
        const GeneralSettingsView second(m_settings.settings());
        QCOMPARE(generalPicker(second, key)->group()->checkedId(), checked);
    }

    void pixelGapsFollowKey_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QColor>("shown");
        const QColor fallback = m_settings.settings().lowResolutionOverlayColor().defaultValue().toColor();
        QTest::newRow("nothing stored") << QVariant() << fallback;
        QTest::newRow("red, half opaque")
            << QVariant(QStringList({ u"hsb"_s, u"0"_s, u"1"_s, u"1"_s, u"0.5"_s })) << QColor(255, 0, 0, 128);
        QTest::newRow("not a colour") << QVariant(u"blue"_s) << fallback;
        QTest::newRow("component out of range")
            << QVariant(QStringList({ u"hsb"_s, u"0"_s, u"2"_s, u"1"_s, u"1"_s })) << fallback;
    }

    void pixelGapsFollowKey()
    {
        QFETCH(QVariant, stored);
        QFETCH(QColor, shown);
        m_settings.settings().lowResolutionOverlayColor().write({ 0.3, 0.5, 0.5, 1 });
        const LowResolutionSettingsView view(m_settings.settings());
        if (stored.isValid())
            m_settings.store().setValue(u"lowResolutionOverlayColor"_s, stored);
        else
            m_settings.store().remove(u"lowResolutionOverlayColor"_s);
        Q_EMIT m_settings.settings().lowResolutionOverlayColor().notifier()->changed();
        QVERIFY2(sameColor(view.pixelGapsButton()->color(), shown), qPrintable(view.pixelGapsButton()->color().name()));
    }

    // The dialog writes each colour as the user moves to it, opacity included. Cancelling leaves
    // the key as the dialog found it (unset stays unset) and keeps a Reset made meanwhile.
    void pixelGapsDialog_data()
    {
        QTest::addColumn<bool>("storedBefore");
        QTest::addColumn<bool>("pick");
        QTest::addColumn<bool>("resetMeanwhile");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("after"); // "unset", "before" or "picked"
        QTest::newRow("accepted") << false << true << false << true << u"picked"_s;
        QTest::newRow("cancelled, nothing stored before") << false << true << false << false << u"unset"_s;
        QTest::newRow("cancelled, a colour stored before") << true << true << false << false << u"before"_s;
        QTest::newRow("cancelled without a pick") << false << false << false << false << u"unset"_s;
        QTest::newRow("cancelled after a Reset") << true << true << true << false << u"unset"_s;
        QTest::newRow("accepted after a Reset") << true << true << true << true << u"unset"_s;
    }

    void pixelGapsDialog()
    {
        QFETCH(bool, storedBefore);
        QFETCH(bool, pick);
        QFETCH(bool, resetMeanwhile);
        QFETCH(bool, accept);
        QFETCH(QString, after);
        const HSBColor before { 0.6, 0.5, 0.4, 0.8 };
        if (storedBefore)
            m_settings.settings().lowResolutionOverlayColor().write(before);
        LowResolutionSettingsView view(m_settings.settings());
        QTest::mouseClick(view.pixelGapsButton(), Qt::LeftButton);
        QColorDialog *dialog = view.pixelGapsButton()->dialog();
        QVERIFY(dialog);
        QVERIFY(dialog->testOption(QColorDialog::ShowAlphaChannel));

        const QColor picked(40, 200, 90, 100);
        if (pick) {
            dialog->setCurrentColor(picked);
            QVERIFY(sameColor(m_settings.settings().lowResolutionOverlayColor().read().toColor(), picked));
            QVERIFY(sameColor(view.pixelGapsButton()->color(), picked));
        }
        if (resetMeanwhile)
            m_settings.settings().lowResolutionOverlayColor().reset();
        if (accept)
            dialog->accept();
        else
            dialog->reject();

        const QColor shown = view.pixelGapsButton()->color();
        if (after == u"unset"_s) {
            QVERIFY(!m_settings.store().value(u"lowResolutionOverlayColor"_s).isValid());
            QVERIFY(sameColor(shown, m_settings.settings().lowResolutionOverlayColor().defaultValue().toColor()));
        } else {
            const QColor expected = after == u"picked"_s ? picked : before.toColor();
            QVERIFY(sameColor(m_settings.settings().lowResolutionOverlayColor().read().toColor(), expected));
            QVERIFY(sameColor(shown, expected));
        }
    }

    // Captions stay legible (at least 4.5:1 against the window) in a dark palette that leaves the
    // placeholder colour as a light theme has it, and follow a change back to light.
    void captionsReadInDarkPalettes_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("General") << u"general"_s;
        QTest::newRow("Low-Resolution") << u"low-resolution"_s;
        QTest::newRow("View Options") << u"view options"_s;
    }

    void captionsReadInDarkPalettes()
    {
        QFETCH(QString, window);
        m_settings.settings().iconViewMode().write(IconViewMode::grid);
        std::unique_ptr<QWidget> widget;
        if (window == u"general"_s)
            widget = std::make_unique<GeneralSettingsView>(m_settings.settings());
        else if (window == u"low-resolution"_s)
            widget = std::make_unique<LowResolutionSettingsView>(m_settings.settings());
        else
            widget = std::make_unique<ViewOptions>(m_settings.settings());
        const QPalette light = widget->palette();
        QPalette dark = light;
        dark.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
        dark.setColor(QPalette::WindowText, QColor(0xe6, 0xe6, 0xe6));
        dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
        dark.setColor(QPalette::Text, QColor(0xe6, 0xe6, 0xe6));

        const auto captionContrasts = [&widget] {
            QList<double> ratios;
            const QColor ground = widget->palette().color(QPalette::Window);
            for (const QLabel *label : widget->findChildren<QLabel *>()) {
                if (label->foregroundRole() != QPalette::PlaceholderText)
                    continue;
                const QColor ink = label->palette().color(label->foregroundRole());
                const double a = ink.alphaF();
                const QColor seen = QColor::fromRgbF(float(ink.redF() * a + ground.redF() * (1 - a)),
                    float(ink.greenF() * a + ground.greenF() * (1 - a)),
                    float(ink.blueF() * a + ground.blueF() * (1 - a)));
                ratios.append(ColorContrast::ratio(seen, ground));
            }
            return ratios;
        };
        for (const QPalette &palette : { dark, light }) {
            widget->setPalette(palette);
            const QList<double> ratios = captionContrasts();
            QVERIFY(!ratios.isEmpty());
            for (const double ratio : ratios)
                QVERIFY2(ratio >= 4.5, qPrintable(QString::number(ratio)));
        }
    }

    void resetRestoresDefault()
    {
        const HSBColor fallback = m_settings.settings().lowResolutionOverlayColor().defaultValue();
        const LowResolutionSettingsView view(m_settings.settings());
        // Reset with nothing changed keeps the default.
        QTest::mouseClick(view.resetButton(), Qt::LeftButton);
        QCOMPARE(m_settings.settings().lowResolutionOverlayColor().read(), fallback);

        m_settings.settings().lowResolutionOverlayColor().write({ 0.1, 0.9, 0.9, 0.4 });
        QVERIFY(!sameColor(view.pixelGapsButton()->color(), fallback.toColor()));
        QTest::mouseClick(view.resetButton(), Qt::LeftButton);
        QCOMPARE(m_settings.settings().lowResolutionOverlayColor().read(), fallback);
        QVERIFY(!m_settings.store().value(u"lowResolutionOverlayColor"_s).isValid());
        QVERIFY(sameColor(view.pixelGapsButton()->color(), fallback.toColor()));
    }

    // The selected tab is the caller's: shown on opening, written on every pick.
    void tabsFollowSelection()
    {
        FakeUpdater updater;
        SettingsTab selected = SettingsTab::updates;
        SettingsView window(selected, updater, m_settings.settings());
        QCOMPARE(window.shownTab(), SettingsTab::updates);

        const QList<QAction *> tabs = window.tabBar()->actions();
        QCOMPARE(tabs.size(), 3);
        QStringList titles;
        for (QAction *tab : tabs) {
            titles.append(tab->text());
            QVERIFY2(!tab->icon().pixmap(32).isNull(), qPrintable(tab->text()));
        }
        QCOMPARE(titles, QStringList({ u"General"_s, u"Low-Resolution"_s, u"Updates"_s }));

        tabs.at(1)->trigger();
        QCOMPARE(selected, SettingsTab::lowResolution);
        QCOMPARE(window.shownTab(), SettingsTab::lowResolution);
        QVERIFY(tabs.at(1)->isChecked());

        // Chosen by the application while closed: shown on the next opening.
        window.close();
        selected = SettingsTab::general;
        window.show();
        QCOMPARE(window.shownTab(), SettingsTab::general);
    }

    void windowAtLeast600Wide()
    {
        FakeUpdater updater;
        updater.lastCheck = QDateTime::currentDateTime();
        SettingsTab selected = SettingsTab::general;
        SettingsView window(selected, updater, m_settings.settings());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (SettingsTab tab : allCases<SettingsTab>()) {
            window.showTab(tab);
            QCoreApplication::processEvents();
            QVERIFY2(window.width() >= 600, qPrintable(rawValue(tab)));
            // The page's own contents fit: the window is at least as large as the page wants.
            QVERIFY(window.page(tab)->height() >= window.page(tab)->minimumSizeHint().height());
        }
    }

    // Stretched in a tall stack, the spacers keep their length.
    void spacerKeepsItsHeight()
    {
        QWidget stack;
        auto *layout = new QVBoxLayout(&stack);
        auto *single = new SettingsSpacer(1.0);
        auto *twice = new SettingsSpacer(2.0);
        layout->addWidget(single);
        layout->addWidget(twice);
        stack.resize(300, 900);
        stack.show();
        QVERIFY(QTest::qWaitForWindowExposed(&stack));
        QCOMPARE(single->height(), 16);
        QCOMPARE(twice->height(), 32);
    }

private:
    SettingsFixture m_settings;
};

QTEST_MAIN(TestSettingsTabs)
#include "tst_settingstabs.moc"
