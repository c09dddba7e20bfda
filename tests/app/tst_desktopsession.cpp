// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QSize>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace Qt::Literals::StringLiterals;

// The real program on a virtual X display, driven through its menus as a user would.
class TestDesktopSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_xvfb = QStandardPaths::findExecutable(u"Xvfb"_s);
        m_xdotool = QStandardPaths::findExecutable(u"xdotool"_s);
        if (m_xvfb.isEmpty() || m_xdotool.isEmpty())
            QSKIP("needs Xvfb and xdotool (the packages xvfb and xdotool)");
        QVERIFY(m_home.isValid());
        QVERIFY(QDir(m_home.path()).mkdir(u"runtime"_s));
        QVERIFY(QFile::setPermissions(
            m_home.filePath(u"runtime"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        // Xvfb picks a free display itself and writes its number to standard output. Without
        // -noreset it resets when the last client leaves, and a test connecting then is refused.
        m_server.start(m_xvfb,
            { u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1280x1024x24"_s, u"-nolisten"_s, u"tcp"_s,
                u"-noreset"_s });
        QVERIFY(m_server.waitForStarted());
        QByteArray number;
        QTRY_VERIFY_WITH_TIMEOUT((number += m_server.readAllStandardOutput()).contains('\n'), 30000);
        m_display = u":"_s + QString::fromLatin1(number.trimmed());
    }

    void cleanupTestCase()
    {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            m_server.waitForFinished(10000);
        }
    }

    void newWindowAndQuitThroughTheMenu()
    {
        QProcess glimbar;
        glimbar.setProcessEnvironment(environment());
        glimbar.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        glimbar.start(QStringLiteral(GLIMBAR_PROGRAM), {});
        QVERIFY(glimbar.waitForStarted());

        QTRY_COMPARE_WITH_TIMEOUT(mainWindows().size(), 1, 60000);
        // A loaded machine may open the menu after the key arrived; a user would try again too.
        for (int attempt = 0; attempt < 3 && mainWindows().size() < 2; ++attempt) {
            useMenu(mainWindows().first(), u"n"_s);
            if (QTest::qWaitFor([&] { return mainWindows().size() >= 2; }, 10000))
                break;
        }
        QCOMPARE(mainWindows().size(), 2);

        for (int attempt = 0; attempt < 3 && glimbar.state() != QProcess::NotRunning; ++attempt) {
            useMenu(mainWindows().value(0), u"q"_s);
            glimbar.waitForFinished(15000);
        }
        QCOMPARE(glimbar.state(), QProcess::NotRunning);
        QCOMPARE(glimbar.exitStatus(), QProcess::NormalExit);
        QCOMPARE(glimbar.exitCode(), 0);
    }

    // On a session bus of its own, which ends with the program, anything a helper the program woke
    // on that bus prints at the end shows up here; the bus daemon's own lines are left out.
    void startAndQuitPrintOnlyTheProgramsOwnLines()
    {
        const QString session = QStandardPaths::findExecutable(u"dbus-run-session"_s);
        if (session.isEmpty())
            QSKIP("needs dbus-run-session (the package dbus)");
        QProcess glimbar;
        glimbar.setProcessEnvironment(environment());
        glimbar.setProcessChannelMode(QProcess::MergedChannels);
        glimbar.start(session, { u"--"_s, QStringLiteral(GLIMBAR_PROGRAM) });
        QVERIFY(glimbar.waitForStarted());

        QTRY_COMPARE_WITH_TIMEOUT(mainWindows().size(), 1, 60000);
        for (int attempt = 0; attempt < 3 && glimbar.state() != QProcess::NotRunning; ++attempt) {
            useMenu(mainWindows().value(0), u"q"_s);
            glimbar.waitForFinished(15000);
        }
        QCOMPARE(glimbar.state(), QProcess::NotRunning);
        QCOMPARE(glimbar.exitCode(), 0);

        QStringList foreign;
        for (const QString &line : QString::fromLocal8Bit(glimbar.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
            if (!line.startsWith(u"dbus-daemon["_s))
                foreign.append(line);
        }
        QCOMPARE(foreign, QStringList());
    }

    // Panels, switchers and title bars each take the size they draw from the window's icon list.
    void windowCarriesEveryIconSize()
    {
        QProcess glimbar;
        glimbar.setProcessEnvironment(environment());
        glimbar.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        glimbar.start(QStringLiteral(GLIMBAR_PROGRAM), {});
        QVERIFY(glimbar.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(mainWindows().size(), 1, 60000);

        std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t *)> connection(
            xcb_connect(m_display.toLocal8Bit().constData(), nullptr), xcb_disconnect);
        QVERIFY(!xcb_connection_has_error(connection.get()));
        const auto window = xcb_window_t(mainWindows().first().toUInt());
        xcb_get_property_reply_t *reply = xcb_get_property_reply(connection.get(),
            xcb_get_property(
                connection.get(), 0, window, atom(connection.get(), "_NET_WM_ICON"), XCB_ATOM_CARDINAL, 0, 1 << 20),
            nullptr);
        QVERIFY(reply);
        const auto *values = static_cast<const quint32 *>(xcb_get_property_value(reply));
        const int count = xcb_get_property_value_length(reply) / 4;
        QList<QSize> sizes;
        for (int at = 0; at + 2 <= count; at += 2 + int(values[at] * values[at + 1]))
            sizes.append(QSize(int(values[at]), int(values[at + 1])));
        std::free(reply);
        std::sort(sizes.begin(), sizes.end(), [](QSize a, QSize b) { return a.width() < b.width(); });
        QCOMPARE(sizes,
            QList<QSize>({ { 16, 16 }, { 24, 24 }, { 32, 32 }, { 48, 48 }, { 64, 64 }, { 128, 128 }, { 256, 256 } }));

        glimbar.terminate();
        QVERIFY(glimbar.waitForFinished(15000));
    }

    // A second launch hands over; the running instance ends that launch's startup notification
    // with the id the launcher gave it, and tags the window it opened for the launch with it.
    void handedOverLaunchEndsItsStartupNotification()
    {
        const QByteArray startupId = "test-launcher-7-host-glimbar-0_TIME42";
        std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t *)> connection(
            xcb_connect(m_display.toLocal8Bit().constData(), nullptr), xcb_disconnect);
        QVERIFY(!xcb_connection_has_error(connection.get()));
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection.get())).data->root;
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(connection.get(), root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(connection.get());
        const xcb_atom_t begin = atom(connection.get(), "_NET_STARTUP_INFO_BEGIN");
        const xcb_atom_t more = atom(connection.get(), "_NET_STARTUP_INFO");

        QProcess glimbar;
        glimbar.setProcessEnvironment(environment());
        glimbar.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        glimbar.start(QStringLiteral(GLIMBAR_PROGRAM), {});
        QVERIFY(glimbar.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(mainWindows().size(), 1, 60000);

        QProcessEnvironment launch = environment();
        launch.insert(u"DESKTOP_STARTUP_ID"_s, QString::fromLatin1(startupId));
        QProcess second;
        second.setProcessEnvironment(launch);
        second.start(QStringLiteral(GLIMBAR_PROGRAM), {});
        QVERIFY(second.waitForFinished(60000));
        QCOMPARE(second.exitCode(), 0);

        // Messages arrive in 20-byte pieces, each sender's first marked as the beginning.
        QHash<xcb_window_t, QByteArray> pending;
        QByteArrayList messages;
        const auto readEvents = [&] {
            while (xcb_generic_event_t *event = xcb_poll_for_event(connection.get())) {
                if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                    const auto *message = reinterpret_cast<xcb_client_message_event_t *>(event);
                    if (message->type == begin)
                        pending[message->window].clear();
                    if (message->type == begin || message->type == more) {
                        QByteArray &text = pending[message->window];
                        text.append(reinterpret_cast<const char *>(message->data.data8), 20);
                        if (const qsizetype end = text.indexOf('\0'); end >= 0)
                            messages.append(pending.take(message->window).left(end));
                    }
                }
                std::free(event);
            }
            return messages.contains("remove: ID=" + startupId);
        };
        QTRY_VERIFY_WITH_TIMEOUT(readEvents(), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(mainWindows().size(), 2, 30000);
        bool tagged = false;
        for (const QString &window : mainWindows())
            tagged = tagged || startupIdOf(connection.get(), window.toUInt()) == startupId;
        QVERIFY(tagged);

        glimbar.terminate();
        QVERIFY(glimbar.waitForFinished(30000));
    }

private:
    static xcb_atom_t atom(xcb_connection_t *connection, const char *name)
    {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return found;
    }

    static QByteArray startupIdOf(xcb_connection_t *connection, xcb_window_t window)
    {
        xcb_get_property_reply_t *reply = xcb_get_property_reply(connection,
            xcb_get_property(
                connection, 0, window, atom(connection, "_NET_STARTUP_ID"), XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
            nullptr);
        if (!reply)
            return {};
        const QByteArray value(
            static_cast<const char *>(xcb_get_property_value(reply)), xcb_get_property_value_length(reply));
        std::free(reply);
        return value;
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"DISPLAY"_s, m_display);
        environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        environment.insert(u"HOME"_s, m_home.path());
        environment.insert(u"XDG_CONFIG_HOME"_s, m_home.filePath(u"config"_s));
        environment.insert(u"XDG_DATA_HOME"_s, m_home.filePath(u"data"_s));
        environment.insert(u"XDG_RUNTIME_DIR"_s, m_home.filePath(u"runtime"_s));
        environment.remove(u"DESKTOP_STARTUP_ID"_s);
        return environment;
    }

    QString xdotool(const QStringList &arguments) const
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(m_xdotool, arguments);
        if (!process.waitForFinished(20000)) {
            process.kill();
            process.waitForFinished();
        }
        return QString::fromLocal8Bit(process.readAllStandardOutput());
    }

    QStringList mainWindows() const
    {
        return xdotool({ u"search"_s, u"--onlyvisible"_s, u"--name"_s, u"^Glimbar$"_s })
            .split(u'\n', Qt::SkipEmptyParts);
    }

    // Opens the File menu of `window` with its mnemonic and chooses the item of `key`.
    void useMenu(const QString &window, const QString &key) const
    {
        xdotool({ u"windowfocus"_s, u"--sync"_s, window });
        xdotool({ u"key"_s, u"--delay"_s, u"200"_s, u"alt+f"_s });
        QTest::qWait(1000);
        xdotool({ u"key"_s, u"--delay"_s, u"200"_s, key });
    }

    QString m_xvfb;
    QString m_xdotool;
    QTemporaryDir m_home;
    QProcess m_server;
    QString m_display;
};

QTEST_GUILESS_MAIN(TestDesktopSession)
#include "tst_desktopsession.moc"
