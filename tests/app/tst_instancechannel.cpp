// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/instancechannel.h"
#include "app/launchargument.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

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

    void peers_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QStringList>("received");
        QTest::addColumn<bool>("answered");

        QTest::newRow("arguments") << message({ "glimbar://download/x", "/tmp/ä b" })
                                   << QStringList { u"glimbar://download/x"_s, u"/tmp/ä b"_s } << true;
        QTest::newRow("none") << message({}) << QStringList() << true;
        QTest::newRow("nothing sent") << QByteArray() << QStringList() << false;
        QTest::newRow("greeting only") << QByteArray("glimbar-open 1\n") << QStringList() << false;
        QTest::newRow("garbage") << QByteArray("GET / HTTP/1.1\r\n\r\n") << QStringList() << false;
        QTest::newRow("not UTF-8") << message({ "\xff\xfe" }) << QStringList() << false;
        QTest::newRow("data after the end") << message({ "a" }) + "b" << QStringList() << false;
        QTest::newRow("too many arguments")
            << message(QList<QByteArray>(InstanceChannel::maxArguments + 1, "a")) << QStringList() << false;
        QTest::newRow("too long") << message({ QByteArray(InstanceChannel::maxMessageBytes, 'a') }) << QStringList()
                                  << false;
    }

    void peers()
    {
        QFETCH(QByteArray, sent);
        QFETCH(QStringList, received);
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
        if (answered)
            QCOMPARE(arguments.first().first().toStringList(), received);
    }

    void handOverWithNoInstanceFails()
    {
        QVERIFY(!QFile::exists(InstanceChannel::socketPath()));
        QVERIFY(!InstanceChannel::handOver({ u"a"_s }, std::chrono::milliseconds(500)));
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
