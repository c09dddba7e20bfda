// SPDX-License-Identifier: GPL-3.0-or-later
// A real drag on the preview-size stepper in an X server of its own (xvfb-run), moved by xdotool:
// the pointer really warps, hides and comes back.

#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestStepperDisplayServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_xvfbRun = QStandardPaths::findExecutable(u"xvfb-run"_s);
        m_xdotool = QStandardPaths::findExecutable(u"xdotool"_s);
        if (m_xvfbRun.isEmpty() || m_xdotool.isEmpty())
            QSKIP("needs xvfb-run and xdotool (scripts/install-deps installs them)");
    }

    void dragChangesTheSizeAndShowsThePointerAgain()
    {
        QTemporaryDir settings;
        QVERIFY(settings.isValid());
        QProcess window;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        environment.insert(u"GLIMBAR_SETTINGS_DIR"_s, settings.path());
        environment.remove(u"QT_SCALE_FACTOR"_s);
        window.setProcessEnvironment(environment);
        window.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        window.start(m_xvfbRun, { u"-a"_s, u"-s"_s, u"-screen 0 1280x800x24"_s, QStringLiteral(STEPPER_WINDOW) });
        QVERIFY2(window.waitForStarted(), qPrintable(window.errorString()));
        const auto finish = qScopeGuard([&window] {
            window.write("quit\n");
            if (!window.waitForFinished(10'000)) {
                window.terminate();
                window.waitForFinished(5'000);
            }
        });

        const QList<QByteArray> ready = readLine(window, "ready");
        QCOMPARE(ready.size(), 5);
        QProcessEnvironment display;
        display.insert(u"DISPLAY"_s, QString::fromLocal8Bit(ready[1]));
        display.insert(u"XAUTHORITY"_s, QString::fromLocal8Bit(ready[2]));
        const int x = ready[3].toInt();
        const int y = ready[4].toInt();

        // Press on the number, pass the drag distance (the pointer parks at the screen's centre),
        // then travel 100 points right in two motions and let go.
        const QString start = QString::number(x);
        const QString recognised = QString::number(x + 15);
        xdotool(display,
            { u"mousemove"_s, start, QString::number(y), u"sleep"_s, u"0.3"_s, u"mousedown"_s, u"1"_s, u"sleep"_s,
                u"0.3"_s, u"mousemove"_s, recognised, QString::number(y), u"sleep"_s, u"0.5"_s });
        const QList<QByteArray> parked = xdotool(display, { u"getmouselocation"_s }).split(' ');
        QCOMPARE(parked.value(0), "x:639");
        QCOMPARE(parked.value(1), "y:399");
        window.write("state\n");
        QCOMPARE(readLine(window, "state"), (QList<QByteArray> { "state", QByteArray::number(Qt::BlankCursor), "1" }));

        xdotool(display,
            { u"mousemove_relative"_s, u"--"_s, u"50"_s, u"0"_s, u"sleep"_s, u"0.3"_s, u"mousemove_relative"_s, u"--"_s,
                u"50"_s, u"0"_s, u"sleep"_s, u"0.3"_s, u"mouseup"_s, u"1"_s, u"sleep"_s, u"0.5"_s });

        // The pointer is back where the drag was recognised, and shown.
        const QList<QByteArray> restored = xdotool(display, { u"getmouselocation"_s }).split(' ');
        QCOMPARE(restored.value(0), "x:" + recognised.toLatin1());
        QCOMPARE(restored.value(1), "y:" + QByteArray::number(y));
        window.write("state\n");
        QCOMPARE(readLine(window, "state"), (QList<QByteArray> { "state", "none", "0" }));

        const QSettings stored(settings.path() + u"/Glimbar/Glimbar.conf"_s, QSettings::IniFormat);
        QCOMPARE(stored.value(u"iconPreviewSize"_s).toLongLong(), 64 + 15 + 100);
    }

private:
    // The next line from the window that starts with `word`, split at spaces.
    static QList<QByteArray> readLine(QProcess &window, const QByteArray &word)
    {
        QDeadlineTimer deadline(30'000);
        while (!deadline.hasExpired()) {
            while (window.canReadLine()) {
                const QByteArray line = window.readLine().trimmed();
                if (line.startsWith(word + ' '))
                    return line.split(' ');
            }
            if (!window.waitForReadyRead(int(deadline.remainingTime())))
                break;
        }
        return {};
    }

    QByteArray xdotool(const QProcessEnvironment &display, const QStringList &arguments)
    {
        QProcess process;
        process.setProcessEnvironment(display);
        process.start(m_xdotool, arguments);
        if (!process.waitForFinished(20'000) || process.exitCode() != 0)
            qWarning() << "xdotool" << arguments << "failed:" << process.readAllStandardError();
        return process.readAllStandardOutput().trimmed();
    }

    QString m_xvfbRun;
    QString m_xdotool;
};

QTEST_GUILESS_MAIN(TestStepperDisplayServer)
#include "tst_stepperdisplayserver.moc"
