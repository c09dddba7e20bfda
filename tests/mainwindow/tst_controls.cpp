// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/statusbartoggle.h"
#include "widgets/blureffectview.h"
#include "widgets/symbol.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestControls : public QObject
{
    Q_OBJECT

private slots:
    void symbolsAreBundled_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : { "checkmark", "xmark", "minus.circle", "cursorarrow.and.square.on.square.dashed",
                 "ellipsis.circle", "plus", "minus", "squareshape.split.2x2.dotted", "square.grid.2x2", "list.bullet",
                 "squares.below.rectangle" })
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void symbolsAreBundled()
    {
        QFETCH(QString, name);
        QVERIFY(Symbol::exists(name));
        // Drawn in the colour asked for, at the pixel size of the screen.
        const QImage image = Symbol::pixmap(name, 16, Qt::red, 2.0).toImage();
        QCOMPARE(image.size(), QSize(32, 32));
        bool inked = false;
        for (int y = 0; y < image.height() && !inked; ++y) {
            for (int x = 0; x < image.width() && !inked; ++x) {
                const QColor pixel = image.pixelColor(x, y);
                inked = pixel.alpha() > 128 && pixel.red() > 200 && pixel.green() < 60;
            }
        }
        QVERIFY(inked);
    }

    void unknownSymbolDrawsNothing()
    {
        QVERIFY(!Symbol::exists(u"no.such.symbol"_s));
        QVERIFY(!Symbol::exists(u"../ui"_s));
        const QImage image = Symbol::pixmap(u"no.such.symbol"_s, 16, Qt::red, 1.0).toImage();
        QCOMPARE(image.pixelColor(8, 8).alpha(), 0);
    }

    // The style's flag changes the look only; the caller disables the control to make it inert.
    void statusBarToggleFlipsOnClick()
    {
        StatusBarToggle toggle(u"squareshape.split.2x2.dotted"_s, u"Emulate Low-Resolution"_s);
        toggle.setStyleFlags({ .disabled = true });
        toggle.show();
        QVERIFY(QTest::qWaitForWindowExposed(&toggle));
        QTest::mouseClick(&toggle, Qt::LeftButton);
        QVERIFY(toggle.isChecked());
        QCOMPARE(toggle.toggleStyle().foreground(toggle.palette(), true),
            foregroundColor(toggle.palette(), ForegroundLevel::tertiary));
        toggle.setEnabled(false);
        QTest::mouseClick(&toggle, Qt::LeftButton);
        QVERIFY(toggle.isChecked());
        toggle.setStyleFlags({ .disabled = false });
        QCOMPARE(toggle.toggleStyle().foreground(toggle.palette(), true), accentColor(toggle.palette()));
    }

    void untintedMaterialStaysFullScreen()
    {
        BlurEffectView blur;
        blur.setMaterial(VisualEffectView::Material::contentBackground);
        QCOMPARE(blur.material(), VisualEffectView::Material::fullScreenUI);
        QCOMPARE(blur.state(), VisualEffectView::State::active);

        VisualEffectView tinted(VisualEffectView::Material::contentBackground, false);
        tinted.setMaterial(VisualEffectView::Material::ultraThin);
        QCOMPARE(tinted.material(), VisualEffectView::Material::ultraThin);
        QCOMPARE(tinted.state(), VisualEffectView::State::followsWindowActiveState);
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
