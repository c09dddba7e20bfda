// SPDX-License-Identifier: GPL-3.0-or-later
// Real drags out of an icon grid into GTK receivers, in an X server of its own, moved by xdotool:
// GTK 4 asks for the data in a way Qt's drag source alone leaves unanswered, GTK 3 as Qt expects.

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

namespace {

// The next line of `process` that starts with one of `words` (any line when none are given), or an
// empty line after 60 s.
QByteArray readLine(QProcess &process, const QList<QByteArray> &words)
{
    QDeadlineTimer deadline(60'000);
    while (!deadline.hasExpired()) {
        while (process.canReadLine()) {
            const QByteArray line = process.readLine().trimmed();
            if (words.isEmpty())
                return line;
            for (const QByteArray &word : words) {
                if (line == word || line.startsWith(word + ' '))
                    return line;
            }
        }
        if (!process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
            break;
    }
    return {};
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

struct DraggedIcon
{
    QPoint centre;
    QByteArray size;
    QByteArray sha256;
};

} // namespace

class TestGtkDropDisplayServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const QString xvfb = QStandardPaths::findExecutable(u"Xvfb"_s);
        m_xdotool = QStandardPaths::findExecutable(u"xdotool"_s);
        if (xvfb.isEmpty() || m_xdotool.isEmpty())
            QSKIP("needs Xvfb and xdotool (scripts/install-deps installs them)");
        // Debian's interpreter, which has PyGObject, ahead of any other on the path.
        m_python = QStandardPaths::findExecutable(u"python3"_s, { u"/usr/bin"_s });
        if (m_python.isEmpty() || !hasModule(u"Gtk"_s, u"4.0"_s))
            QSKIP("needs python3-gi and gir1.2-gtk-4.0 (scripts/install-deps installs them)");

        m_server.start(xvfb,
            { u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1280x800x24"_s, u"-nolisten"_s, u"tcp"_s,
                u"-noreset"_s });
        QVERIFY2(m_server.waitForStarted(), qPrintable(m_server.errorString()));
        const QByteArray number = readLine(m_server, {});
        QVERIFY(!number.isEmpty());
        m_display = u":"_s + QString::fromLatin1(number);

        startReceiver(m_gtk4, QStringLiteral(GTK4_DROP_TARGET));
        if (hasModule(u"Gtk"_s, u"3.0"_s))
            startReceiver(m_gtk3, QStringLiteral(GTK3_DROP_TARGET));

        QProcessEnvironment environment = display();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        environment.remove(u"QT_SCALE_FACTOR"_s);
        m_source.setProcessEnvironment(environment);
        m_source.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_source.start(QStringLiteral(DRAG_SOURCE_WINDOW), {});
        QVERIFY2(m_source.waitForStarted(), qPrintable(m_source.errorString()));
        for (QByteArray line = readLine(m_source, { "icon", "ready" }); line.startsWith("icon ");
             line = readLine(m_source, { "icon", "ready" })) {
            const QList<QByteArray> fields = line.split(' ');
            QCOMPARE(fields.size(), 6);
            m_icons.insert(fields[1], { QPoint(fields[2].toInt(), fields[3].toInt()), fields[4], fields[5] });
        }
        QCOMPARE(m_icons.size(), 2);
        QCOMPARE(readLine(m_gtk4, { "ready" }), "ready");
        if (m_gtk3.state() == QProcess::Running)
            QCOMPARE(readLine(m_gtk3, { "ready" }), "ready");
    }

    void cleanupTestCase()
    {
        stop(m_source);
        stop(m_gtk4);
        stop(m_gtk3);
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            m_server.waitForFinished(10'000);
        }
    }

    void dropReachesTheReceiver_data()
    {
        QTest::addColumn<int>("gtkVersion");
        QTest::addColumn<QByteArray>("form");
        QTest::addColumn<QByteArray>("icon");
        QTest::addColumn<QByteArray>("received");

        // "Picture" is larger than one piece: its data goes incrementally.
        for (const int version : { 4, 3 }) {
            const QByteArray gtk = "GTK " + QByteArray::number(version) + ": ";
            QTest::newRow(gtk + "folder form") << version << "folder"_ba
                                               << "Emblem"_ba
                                               << "files"_ba;
            QTest::newRow(gtk + "ICNS form") << version << "image"_ba
                                             << "Emblem"_ba
                                             << "data image/x-icns"_ba;
            QTest::newRow(gtk + "PNG form") << version << "image"_ba
                                            << "Picture"_ba
                                            << "data image/png"_ba;
        }
    }

    void dropReachesTheReceiver()
    {
        QFETCH(int, gtkVersion);
        QFETCH(QByteArray, form);
        QFETCH(QByteArray, icon);
        QFETCH(QByteArray, received);
        QProcess &receiver = gtkVersion == 4 ? m_gtk4 : m_gtk3;
        if (receiver.state() != QProcess::Running)
            QSKIP("needs gir1.2-gtk-3.0");

        m_source.write(form + '\n');
        QCOMPARE(readLine(m_source, { "form" }), "form " + form);
        // The GTK 4 window lies at the top left, the GTK 3 window below it.
        drag(m_icons.value(icon).centre, gtkVersion == 4 ? QPoint(250, 150) : QPoint(250, 550));

        const QByteArray line = readLine(receiver, { "files", "data", "failed" });
        const DraggedIcon &dragged = m_icons.value(icon);
        if (received == "files") {
            const QList<QByteArray> uris = line.split(' ');
            QCOMPARE(uris.size(), 2);
            const QFileInfo folder(QUrl::fromEncoded(uris[1]).toLocalFile());
            QCOMPARE(folder.fileName().toUtf8(), icon);
            QVERIFY(folder.isDir());
        } else {
            QCOMPARE(line, received + ' ' + dragged.size + ' ' + dragged.sha256);
        }
    }

private:
    QProcessEnvironment display() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"DISPLAY"_s, m_display);
        return environment;
    }

    bool hasModule(const QString &name, const QString &version) const
    {
        QProcess probe;
        probe.start(m_python,
            { u"-c"_s,
                u"import gi; gi.require_version('%1', '%2'); from gi.repository import %1"_s.arg(name, version) });
        return probe.waitForFinished(60'000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
    }

    void startReceiver(QProcess &receiver, const QString &script)
    {
        QProcessEnvironment environment = display();
        // Software drawing, and no accessibility bus to wait for.
        environment.insert(u"GDK_BACKEND"_s, u"x11"_s);
        environment.insert(u"GSK_RENDERER"_s, u"cairo"_s);
        environment.insert(u"GTK_A11Y"_s, u"none"_s);
        environment.insert(u"NO_AT_BRIDGE"_s, u"1"_s);
        receiver.setProcessEnvironment(environment);
        receiver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        receiver.start(m_python, { script });
        QVERIFY2(receiver.waitForStarted(), qPrintable(receiver.errorString()));
    }

    // Presses on `from`, moves past the drag distance in steps to `to`, and lets go; the pauses let
    // each side see every motion, as a hand's would.
    void drag(QPoint from, QPoint to) const
    {
        const auto number = [](int value) { return QString::number(value); };
        QProcess process;
        process.setProcessEnvironment(display());
        process.start(m_xdotool,
            { u"mousemove"_s, number(from.x()), number(from.y()), u"sleep"_s, u"0.3"_s, u"mousedown"_s, u"1"_s,
                u"sleep"_s, u"0.2"_s, u"mousemove"_s, number(from.x() - 20), number(from.y()), u"sleep"_s, u"0.2"_s,
                u"mousemove"_s, number((from.x() + to.x()) / 2), number((from.y() + to.y()) / 2), u"sleep"_s, u"0.2"_s,
                u"mousemove"_s, number(to.x()), number(to.y()), u"sleep"_s, u"0.3"_s, u"mousemove"_s,
                number(to.x() + 10), number(to.y()), u"sleep"_s, u"0.3"_s, u"mouseup"_s, u"1"_s });
        if (!process.waitForFinished(60'000) || process.exitCode() != 0)
            qWarning() << "xdotool failed:" << process.readAllStandardError();
    }

    QString m_xdotool;
    QString m_python;
    QString m_display;
    QProcess m_server;
    QProcess m_gtk4;
    QProcess m_gtk3;
    QProcess m_source;
    QHash<QByteArray, DraggedIcon> m_icons;
};

QTEST_GUILESS_MAIN(TestGtkDropDisplayServer)
#include "tst_gtkdropdisplayserver.moc"
