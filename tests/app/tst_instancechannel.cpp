// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/instancechannel.h"
#include "app/instancelock.h"
#include "platform/desktop/launchargument.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <future>
#include <memory>
#include <signal.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString invalidLinkMessage = u"The rAvivovode download URL is invalid."_s;

QByteArray message(const QList<QByteArray> &arguments)
{
    QByteArray bytes = "glimbar-open 1\n";
    for (const QByteArray &argument : arguments)
        bytes += argument + '\0';
    return bytes + '\0';
}

// The second form, which carries the launch's activation token first.
QByteArray messageWithToken(const QByteArray &token, const QList<QByteArray> &arguments)
{
    QByteArray bytes = "glimbar-open 2\n" + token + '\0';
    for (const QByteArray &argument : arguments)
        bytes += argument + '\0';
    return bytes + '\0';
}

} // namespace

class TestInstanceChannel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_home.isValid());
        QVERIFY(QDir(m_home.path()).mkdir(u"runtime"_s));
        m_runtime = m_home.filePath(u"runtime"_s);
        // The runtime folder is only used when it is the user's alone.
        QVERIFY(QFile::setPermissions(m_runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime));
        QCOMPARE(QFileInfo(InstanceChannel::socketPath()).absolutePath(), m_runtime);
    }

    void classify_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("value");

        const int link = int(LaunchArgument::Kind::link);
        const int file = int(LaunchArgument::Kind::file);
        const int invalid = int(LaunchArgument::Kind::invalid);
        QTest::newRow("own link") << u"glimbar://download/https://example.org/a.zip"_s << link
                                  << u"glimbar://download/https://example.org/a.zip"_s;
        QTest::newRow("scheme in capitals") << u"GLIMBAR://download/x"_s << link << u"GLIMBAR://download/x"_s;
        QTest::newRow("relative path") << u"packs/../Space.ravivovode"_s << file << u"/work/Space.ravivovode"_s;
        QTest::newRow("absolute path") << u"/tmp/a.ravivovode"_s << file << u"/tmp/a.ravivovode"_s;
        QTest::newRow("file link") << u"file:///tmp/My%20Pack.ravivovode"_s << file << u"/tmp/My Pack.ravivovode"_s;
        QTest::newRow("remote file link") << u"file://server/share/a"_s << invalid << QString();
        QTest::newRow("empty") << QString() << invalid << QString();
        QTest::newRow("overlong") << QString(10000, u'a') << invalid << QString();
    }

    void classify()
    {
        QFETCH(QString, argument);
        QFETCH(int, kind);
        QFETCH(QString, value);
        const LaunchArgument classified = LaunchArgument::classify(argument, u"/work"_s);
        QCOMPARE(int(classified.kind), kind);
        if (kind != int(LaunchArgument::Kind::invalid))
            QCOMPARE(classified.value, value);
        else
            QVERIFY(!classified.value.isEmpty() && !classified.value.contains(u'\n'));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("commandLine");
        QTest::addColumn<QString>("unknown");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("files and links") << QStringList { u"glimbar"_s, u"a"_s, u"glimbar://download/x"_s } << QString()
                                         << QStringList { u"/work/a"_s, u"glimbar://download/x"_s };
        QTest::newRow("misspelt option") << QStringList { u"glimbar"_s, u"--verison"_s } << u"--verison"_s
                                         << QStringList();
        QTest::newRow("short option after a file")
            << QStringList { u"glimbar"_s, u"a"_s, u"-x"_s } << u"-x"_s << QStringList();
        QTest::newRow("-- ends the options") << QStringList { u"glimbar"_s, u"--"_s, u"-x"_s, u"--"_s } << QString()
                                             << QStringList { u"/work/-x"_s, u"/work/--"_s };
        QTest::newRow("lone dash is a file")
            << QStringList { u"glimbar"_s, u"-"_s } << QString() << QStringList { u"/work/-"_s };
        // Before Qt takes its own: they pass the first reading, with their values.
        QTest::newRow("Qt's options") << QStringList { u"glimbar"_s, u"-platform"_s, u"offscreen"_s,
            u"--style=Fusion"_s, u"-reverse"_s, u"--version"_s }
                                      << QString() << QStringList { u"/work/offscreen"_s, u"/work/--style=Fusion"_s };
    }

    // The first reading refuses what neither the program nor Qt knows; the second, after Qt took
    // its own, yields the files and links.
    void commandLine()
    {
        QFETCH(QStringList, commandLine);
        QFETCH(QString, unknown);
        QFETCH(QStringList, arguments);
        QCOMPARE(LaunchArgument::unknownOption(commandLine), unknown);
        if (!unknown.isEmpty()) {
            QString refused;
            QCOMPARE(launchArguments(commandLine, u"/work"_s, &refused), QStringList());
            QCOMPARE(refused, unknown);
        } else if (!commandLine.contains(u"-platform"_s)) {
            QCOMPARE(launchArguments(commandLine, u"/work"_s), arguments);
        }
    }

    void peers_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QStringList>("received");
        QTest::addColumn<QByteArray>("token");
        QTest::addColumn<bool>("answered");

        const QByteArray none;
        QTest::newRow("arguments") << message({ "glimbar://download/x", "/tmp/ä b" })
                                   << QStringList { u"glimbar://download/x"_s, u"/tmp/ä b"_s } << none << true;
        QTest::newRow("none") << message({}) << QStringList() << none << true;
        QTest::newRow("token and arguments")
            << messageWithToken("launcher-12-host-glimbar-0_TIME4711", { "/tmp/a" }) << QStringList { u"/tmp/a"_s }
            << QByteArray("launcher-12-host-glimbar-0_TIME4711") << true;
        QTest::newRow("token only") << messageWithToken("a1b2", {}) << QStringList() << QByteArray("a1b2") << true;
        QTest::newRow("empty token") << messageWithToken({}, { "/tmp/a" }) << QStringList { u"/tmp/a"_s } << none
                                     << true;
        QTest::newRow("token with a line break")
            << messageWithToken("a\nb", { "/tmp/a" }) << QStringList() << none << false;
        QTest::newRow("token too long") << messageWithToken(QByteArray(InstanceChannel::maxTokenBytes + 1, 'a'), {})
                                        << QStringList() << none << false;
        QTest::newRow("unterminated token")
            << QByteArray("glimbar-open 2\n") + QByteArray(InstanceChannel::maxTokenBytes + 1, 'a') << QStringList()
            << none << false;
        QTest::newRow("unknown form") << QByteArray("glimbar-open 3\n\0\0") << QStringList() << none << false;
        QTest::newRow("nothing sent") << QByteArray() << QStringList() << none << false;
        QTest::newRow("greeting only") << QByteArray("glimbar-open 1\n") << QStringList() << none << false;
        QTest::newRow("garbage") << QByteArray("GET / HTTP/1.1\r\n\r\n") << QStringList() << none << false;
        QTest::newRow("not UTF-8") << message({ "\xff\xfe" }) << QStringList() << none << false;
        QTest::newRow("data after the end") << message({ "a" }) + "b" << QStringList() << none << false;
        QTest::newRow("too many arguments")
            << message(QList<QByteArray>(InstanceChannel::maxArguments + 1, "a")) << QStringList() << none << false;
        QTest::newRow("too long") << message({ QByteArray(InstanceChannel::maxMessageBytes, 'a') }) << QStringList()
                                  << none << false;
    }

    void peers()
    {
        QFETCH(QByteArray, sent);
        QFETCH(QStringList, received);
        QFETCH(QByteArray, token);
        QFETCH(bool, answered);

        InstanceChannel channel(std::chrono::milliseconds(300));
        QVERIFY(channel.listen());
        QSignalSpy arguments(&channel, &InstanceChannel::argumentsReceived);
        QLocalSocket peer;
        peer.connectToServer(InstanceChannel::socketPath());
        QVERIFY(peer.waitForConnected(5000));
        peer.write(sent);
        QByteArray answer;
        // Whatever it sent, the peer is let go: answered, dropped at once or after the time-out.
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                answer += peer.readAll();
                return peer.state() == QLocalSocket::UnconnectedState;
            }(),
            5000);
        QCOMPARE(answer == "ok\n", answered);
        QCOMPARE(arguments.size(), answered ? 1 : 0);
        if (answered) {
            QCOMPARE(arguments.first().at(0).toStringList(), received);
            QCOMPARE(arguments.first().at(1).toByteArray(), token);
        }
    }

    void handOver_data()
    {
        QTest::addColumn<bool>("olderInstance");
        QTest::addColumn<QByteArray>("token");
        QTest::addColumn<QByteArray>("sent");

        const QByteArray token = "launcher-12-host-glimbar-0_TIME4711";
        QTest::newRow("with the token") << false << token << messageWithToken(token, { "/tmp/a" });
        QTest::newRow("invalid token left out") << false << QByteArray("a b") << messageWithToken({}, { "/tmp/a" });
        // An older instance drops the second form; the arguments still reach it in the first.
        QTest::newRow("older instance") << true << token << message({ "/tmp/a" });
    }

    // The sending side, from a thread of its own while this one serves.
    void handOver()
    {
        QFETCH(bool, olderInstance);
        QFETCH(QByteArray, token);
        QFETCH(QByteArray, sent);

        QLocalServer server;
        QLocalServer::removeServer(InstanceChannel::socketPath());
        QVERIFY(server.listen(InstanceChannel::socketPath()));
        QList<QByteArray> received;
        connect(&server, &QLocalServer::newConnection, this, [&] {
            QLocalSocket *peer = server.nextPendingConnection();
            connect(peer, &QLocalSocket::readyRead, peer, [&received, peer, olderInstance] {
                QByteArray bytes = peer->property("bytes").toByteArray() + peer->readAll();
                peer->setProperty("bytes", bytes);
                if (olderInstance && bytes.startsWith("glimbar-open 2")) {
                    peer->abort();
                } else if (bytes.endsWith(QByteArray(2, '\0'))) {
                    received.append(bytes);
                    peer->write("ok\n");
                    peer->flush();
                }
            });
        });
        std::future<bool> handedOver = std::async(std::launch::async,
            [token] { return InstanceChannel::handOver({ u"/tmp/a"_s }, token, std::chrono::seconds(30)); });
        QTRY_VERIFY_WITH_TIMEOUT(handedOver.wait_for(std::chrono::seconds(0)) == std::future_status::ready, 30000);
        QVERIFY(handedOver.get());
        QCOMPARE(received, QList<QByteArray> { sent });
        server.close();
    }

    // Peers past the bounds are dropped at once; those within them are still heard whole.
    void boundedPeers_data()
    {
        QTest::addColumn<int>("peers");
        QTest::addColumn<int>("bytesEach");
        QTest::newRow("connections") << int(InstanceChannel::maxConnections) + 1 << 16;
        QTest::newRow("unfinished bytes") << int(InstanceChannel::maxPendingBytes / InstanceChannel::maxMessageBytes)
                + 1 << int(InstanceChannel::maxMessageBytes) - 100;
    }

    void boundedPeers()
    {
        QFETCH(int, peers);
        QFETCH(int, bytesEach);
        InstanceChannel channel(std::chrono::seconds(60));
        QVERIFY(channel.listen());
        QSignalSpy received(&channel, &InstanceChannel::argumentsReceived);
        std::vector<std::unique_ptr<QLocalSocket>> sockets;
        for (int i = 0; i < peers; ++i) {
            auto socket = std::make_unique<QLocalSocket>();
            socket->connectToServer(InstanceChannel::socketPath());
            QVERIFY(socket->waitForConnected(5000));
            socket->write("glimbar-open 1\n" + QByteArray(bytesEach - 15, 'a'));
            sockets.push_back(std::move(socket));
        }
        const auto dropped = [&sockets] {
            return std::count_if(sockets.begin(), sockets.end(),
                [](const auto &socket) { return socket->state() == QLocalSocket::UnconnectedState; });
        };
        QTRY_COMPARE_WITH_TIMEOUT(dropped(), 1, 30000);
        for (const auto &socket : sockets) {
            if (socket->state() == QLocalSocket::ConnectedState)
                socket->write(QByteArray(2, '\0'));
        }
        QTRY_COMPARE_WITH_TIMEOUT(received.size(), peers - 1, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(dropped(), peers, 30000);
    }

    void handOverWithNoInstanceFails()
    {
        QVERIFY(!QFile::exists(InstanceChannel::socketPath()));
        QVERIFY(!InstanceChannel::handOver({ u"a"_s }, {}, std::chrono::milliseconds(500)));
    }

    void programs_data()
    {
        QTest::addColumn<bool>("alreadyRunning");
        QTest::newRow("first launch acts itself") << false;
        QTest::newRow("second launch hands over") << true;
    }

    // The real program, twice: a link given to a second launch is acted on by the first.
    void programs()
    {
        QFETCH(bool, alreadyRunning);
        QVERIFY(!QFile::exists(InstanceChannel::socketPath()) || QFile::remove(InstanceChannel::socketPath()));
        const QString badLink = u"glimbar://elsewhere/https://example.org/pack.zip"_s;

        QProcess first;
        first.setProcessEnvironment(environment());
        first.start(QStringLiteral(GLIMBAR_PROGRAM), alreadyRunning ? QStringList() : QStringList { badLink });
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(InstanceChannel::socketPath()), 60000);
        if (alreadyRunning) {
            QProcess second;
            second.setProcessEnvironment(environment());
            second.start(QStringLiteral(GLIMBAR_PROGRAM), { badLink });
            QVERIFY(second.waitForFinished(60000));
            QCOMPARE(second.exitStatus(), QProcess::NormalExit);
            QCOMPARE(second.exitCode(), 0);
        }
        QByteArray output;
        QTRY_VERIFY_WITH_TIMEOUT(
            (output += first.readAllStandardOutput()).contains(invalidLinkMessage.toUtf8()), 30000);
        first.terminate();
        QVERIFY(first.waitForFinished(30000));
    }

    // A launch that reaches an instance stopped past its time-out waits for it, and the argument is
    // acted on once, by the instance, when it resumes.
    void stoppedInstance()
    {
        QVERIFY(!QFile::exists(InstanceChannel::socketPath()) || QFile::remove(InstanceChannel::socketPath()));
        const QString badLink = u"glimbar://elsewhere/https://example.org/pack.zip"_s;
        QProcess first;
        first.setProcessEnvironment(environment());
        first.start(QStringLiteral(GLIMBAR_PROGRAM), QStringList());
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(InstanceChannel::socketPath()), 60000);
        QCOMPARE(::kill(pid_t(first.processId()), SIGSTOP), 0);

        QProcess second;
        second.setProcessEnvironment(environment());
        second.start(QStringLiteral(GLIMBAR_PROGRAM), { badLink });
        QVERIFY(second.waitForStarted());
        QByteArray secondOutput;
        QTRY_VERIFY_WITH_TIMEOUT(
            (secondOutput += second.readAllStandardOutput()).contains("Waiting for the running"), 60000);
        QCOMPARE(second.state(), QProcess::Running);
        QVERIFY(!secondOutput.contains(invalidLinkMessage.toUtf8()));

        QCOMPARE(::kill(pid_t(first.processId()), SIGCONT), 0);
        QVERIFY(second.waitForFinished(60000));
        QCOMPARE(second.exitCode(), 0);
        QByteArray output;
        QTRY_VERIFY_WITH_TIMEOUT(
            (output += first.readAllStandardOutput()).contains(invalidLinkMessage.toUtf8()), 30000);
        // A third launch is the marker: once its link is reported, a repeat of the second's would be too.
        QProcess third;
        third.setProcessEnvironment(environment());
        third.start(QStringLiteral(GLIMBAR_PROGRAM), { badLink });
        QVERIFY(third.waitForFinished(60000));
        QTRY_COMPARE_WITH_TIMEOUT(
            (output += first.readAllStandardOutput()).count(invalidLinkMessage.toUtf8()), 2, 30000);
        QVERIFY(!(secondOutput + second.readAllStandardOutput()).contains(invalidLinkMessage.toUtf8()));
        first.terminate();
        QVERIFY(first.waitForFinished(30000));
        QCOMPARE(output.count(invalidLinkMessage.toUtf8()), 2);
    }

    // While the lock is held, a launch never becomes an instance, even with no channel to reach;
    // once the holder is gone it does, and acts on its argument itself.
    void lockHeldWithoutChannel()
    {
        QVERIFY(!QFile::exists(InstanceChannel::socketPath()) || QFile::remove(InstanceChannel::socketPath()));
        auto lock = std::make_unique<InstanceLock>();
        QCOMPARE(lock->tryAcquire(), InstanceLock::State::held);
        QCOMPARE(InstanceLock().tryAcquire(), InstanceLock::State::heldElsewhere);

        QProcess launch;
        launch.setProcessEnvironment(environment());
        launch.start(QStringLiteral(GLIMBAR_PROGRAM), { u"glimbar://elsewhere/x"_s });
        QVERIFY(launch.waitForStarted());
        QByteArray output;
        QTRY_VERIFY_WITH_TIMEOUT((output += launch.readAllStandardOutput()).contains("Waiting for the running"), 60000);
        QVERIFY(!QFile::exists(InstanceChannel::socketPath()));
        QCOMPARE(launch.state(), QProcess::Running);

        lock.reset();
        QTRY_VERIFY_WITH_TIMEOUT(
            (output += launch.readAllStandardOutput()).contains(invalidLinkMessage.toUtf8()), 60000);
        QVERIFY(QFile::exists(InstanceChannel::socketPath()));
        QCOMPARE(InstanceLock().tryAcquire(), InstanceLock::State::heldElsewhere);
        launch.terminate();
        QVERIFY(launch.waitForFinished(30000));
        QCOMPARE(InstanceLock().tryAcquire(), InstanceLock::State::held);
    }

    void terminalOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("answer");
        QTest::newRow("--help") << QStringList { u"--help"_s } << u"Usage: glimbar"_s;
        QTest::newRow("-h") << QStringList { u"-h"_s } << u"Usage: glimbar"_s;
        QTest::newRow("--version") << QStringList { u"--version"_s } << u"glimbar " GLIMBAR_VERSION ""_s;
        QTest::newRow("after a file") << QStringList { u"a.ravivovode"_s, u"--version"_s }
                                      << u"glimbar " GLIMBAR_VERSION ""_s;
    }

    // Answered in the terminal without a display, and never sent to the running instance.
    void terminalOptions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, answer);
        InstanceChannel channel;
        QVERIFY(channel.listen());
        QSignalSpy received(&channel, &InstanceChannel::argumentsReceived);

        QProcessEnvironment noDisplay = environment();
        for (const QString &name : { u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"QT_QPA_PLATFORM"_s })
            noDisplay.remove(name);
        QProcess glimbar;
        glimbar.setProcessEnvironment(noDisplay);
        glimbar.start(QStringLiteral(GLIMBAR_PROGRAM), arguments);
        QVERIFY(glimbar.waitForStarted());
        // The channel keeps serving meanwhile: a launch that handed over would wait for its answer.
        QTRY_VERIFY_WITH_TIMEOUT(glimbar.state() == QProcess::NotRunning, 60000);
        QCOMPARE(glimbar.exitStatus(), QProcess::NormalExit);
        QCOMPARE(glimbar.exitCode(), 0);
        const QString output = QString::fromUtf8(glimbar.readAllStandardOutput());
        QVERIFY2(output.startsWith(answer), qPrintable(output));
        // The help names the form of a link, with an example in each spelling.
        if (answer.startsWith(u"Usage"))
            QVERIFY(output.contains(u"glimbar://download/example.org/packs/space.ravivovode\n"_s)
                && output.contains(u"glimbar://download/https://example.org/packs/space.ravivovode\n"_s));
        QCOMPARE(received.size(), 0);
    }

    // Refused in the terminal without a display, before anything reaches the running instance.
    void unknownOptionIsRefused()
    {
        InstanceChannel channel;
        QVERIFY(channel.listen());
        QSignalSpy received(&channel, &InstanceChannel::argumentsReceived);
        QProcessEnvironment noDisplay = environment();
        for (const QString &name : { u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"QT_QPA_PLATFORM"_s })
            noDisplay.remove(name);
        QProcess glimbar;
        glimbar.setProcessEnvironment(noDisplay);
        glimbar.start(QStringLiteral(GLIMBAR_PROGRAM), { u"a.ravivovode"_s, u"--verison"_s });
        QVERIFY(glimbar.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(glimbar.state() == QProcess::NotRunning, 60000);
        QCOMPARE(glimbar.exitStatus(), QProcess::NormalExit);
        QCOMPARE(glimbar.exitCode(), 2);
        QCOMPARE(glimbar.readAllStandardOutput(), QByteArray());
        const QString errors = QString::fromUtf8(glimbar.readAllStandardError());
        QVERIFY2(errors.startsWith(u"glimbar: unknown option “--verison”\nUsage: glimbar"_s), qPrintable(errors));
        QCoreApplication::processEvents();
        QCOMPARE(received.size(), 0);
    }

private:
    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"HOME"_s, m_home.path());
        environment.insert(u"XDG_CONFIG_HOME"_s, m_home.filePath(u"config"_s));
        environment.insert(u"XDG_DATA_HOME"_s, m_home.filePath(u"data"_s));
        environment.insert(u"XDG_RUNTIME_DIR"_s, m_runtime);
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        return environment;
    }

    QTemporaryDir m_home;
    QString m_runtime;
};

QTEST_MAIN(TestInstanceChannel)
#include "tst_instancechannel.moc"
