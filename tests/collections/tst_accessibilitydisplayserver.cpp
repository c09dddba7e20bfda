// SPDX-License-Identifier: GPL-3.0-or-later
// A real screen reader's view of an icon grid: the grid runs in an X server and on a session bus
// of the test's own, and AT-SPI's Python client reads its accessible tree from the accessibility
// bus that the session bus starts.

#include "support/privatesessionbus.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// The next line of `process`, or an empty one after 60 s.
QByteArray readLine(QProcess &process)
{
    QDeadlineTimer deadline(60'000);
    while (!process.canReadLine()) {
        if (deadline.hasExpired() || !process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
            return {};
    }
    return process.readLine().trimmed();
}

void stop(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.closeWriteChannel();
    if (!process.waitForFinished(10'000)) {
        process.terminate();
        if (!process.waitForFinished(5'000))
            process.kill();
        process.waitForFinished();
    }
}

} // namespace

class TestAccessibilityDisplayServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const QString xvfb = QStandardPaths::findExecutable(u"Xvfb"_s);
        if (xvfb.isEmpty())
            QSKIP("needs Xvfb (scripts/install-deps installs it)");
        m_python = QStandardPaths::findExecutable(u"python3"_s, { u"/usr/bin"_s });
        QProcess probe;
        probe.start(m_python, { u"-c"_s, u"import pyatspi"_s });
        if (m_python.isEmpty() || !probe.waitForFinished(60'000) || probe.exitCode() != 0)
            QSKIP("needs python3-pyatspi and at-spi2-core (scripts/install-deps installs them)");

        QVERIFY(m_home.isValid());
        m_bus = std::make_unique<PrivateSessionBus>(m_home.filePath(u"data"_s));
        QVERIFY2(m_bus->isRunning(), qPrintable(m_bus->errorString()));

        m_server.start(xvfb,
            { u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1024x768x24"_s, u"-nolisten"_s, u"tcp"_s,
                u"-noreset"_s });
        QVERIFY2(m_server.waitForStarted(), qPrintable(m_server.errorString()));
        const QByteArray number = readLine(m_server);
        QVERIFY(!number.isEmpty());
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert(u"DISPLAY"_s, u":"_s + QString::fromLatin1(number));
        m_environment.insert(u"HOME"_s, m_home.path());
        m_environment.insert(u"XDG_CONFIG_HOME"_s, m_home.filePath(u"config"_s));
        m_environment.insert(u"XDG_CACHE_HOME"_s, m_home.filePath(u"cache"_s));
        m_environment.insert(u"XDG_RUNTIME_DIR"_s, m_home.path());
        m_environment.remove(u"NO_AT_BRIDGE"_s);

        QProcessEnvironment window = m_environment;
        window.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        window.insert(u"QT_LINUX_ACCESSIBILITY_ALWAYS_ON"_s, u"1"_s);
        window.remove(u"QT_SCALE_FACTOR"_s);
        m_window.setProcessEnvironment(window);
        m_window.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_window.start(QStringLiteral(ACCESSIBLE_GRID_WINDOW), {});
        QVERIFY2(m_window.waitForStarted(), qPrintable(m_window.errorString()));
        QCOMPARE(readLine(m_window), "ready");
    }

    void cleanupTestCase()
    {
        stop(m_window);
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            m_server.waitForFinished(10'000);
        }
        m_bus.reset();
    }

    // Two headings and five list items, each named, with the selected and current one so marked;
    // a real key press moves both over the next header.
    void screenReaderReadsEveryTile()
    {
        QCOMPARE(readTree(),
            (QList<QByteArray> { "list 7", "heading Shapes -", "list-item Circle selectable",
                "list-item Square selectable,selected,focused", "list-item Star selectable", "heading Marks -",
                "list-item Check selectable", "list-item Cross selectable" }));

        const QString xdotool = QStandardPaths::findExecutable(u"xdotool"_s);
        if (xdotool.isEmpty())
            QSKIP("needs xdotool (scripts/install-deps installs it)");
        QProcess keys;
        keys.setProcessEnvironment(m_environment);
        keys.start(xdotool, { u"key"_s, u"Right"_s, u"Right"_s });
        QVERIFY(keys.waitForFinished(60'000));
        QTRY_COMPARE_WITH_TIMEOUT(readTree().value(6), "list-item Check selectable,selected,focused", 30'000);
        const QList<QByteArray> after = readTree();
        QCOMPARE(after.value(3), "list-item Square selectable");
    }

private:
    QList<QByteArray> readTree() const
    {
        QProcess reader;
        reader.setProcessEnvironment(m_environment);
        reader.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        reader.start(m_python, { QStringLiteral(ATSPI_TREE), u"accessiblegridwindow"_s });
        if (!reader.waitForFinished(90'000))
            return {};
        return reader.readAllStandardOutput().trimmed().split('\n');
    }

    QTemporaryDir m_home;
    std::unique_ptr<PrivateSessionBus> m_bus;
    QString m_python;
    QProcessEnvironment m_environment;
    QProcess m_server;
    QProcess m_window;
};

QTEST_GUILESS_MAIN(TestAccessibilityDisplayServer)
#include "tst_accessibilitydisplayserver.moc"
