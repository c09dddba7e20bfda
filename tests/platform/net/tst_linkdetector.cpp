// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/net/linkdetector.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestLinkDetector : public QObject
{
    Q_OBJECT

private slots:
    void findsLinks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("found");
        QTest::newRow("domain") << u"https://example.com/packs/space"_s << true;
        QTest::newRow("domain alone") << u"https://example.com"_s << true;
        QTest::newRow("subdomain and port") << u"https://icons.example.org:8443/a?b#c"_s << true;
        QTest::newRow("user information") << u"https://ann:pw@example.com/x"_s << true;
        QTest::newRow("international domain") << u"https://bücher.de/x"_s << true;
        QTest::newRow("encoded international top level") << u"https://example.xn--p1ai/x"_s << true;
        QTest::newRow("IPv4 address") << u"https://127.0.0.1:4433/pack.zip"_s << true;
        QTest::newRow("IPv6 address") << u"https://[::1]:4433/pack.zip"_s << true;
        QTest::newRow("localhost") << u"https://localhost/pack.zip"_s << true;
        QTest::newRow("inside other text") << u"see https://example.com/x for more"_s << true;
        QTest::newRow("second of two") << u"https:///x https://example.com"_s << true;
        QTest::newRow("other scheme") << u"ftp://example.com/x"_s << true;
        QTest::newRow("scheme only") << u"https:/"_s << false;
        QTest::newRow("scheme and slashes") << u"https://"_s << false;
        QTest::newRow("empty host") << u"https:///packs/space"_s << false;
        QTest::newRow("single label") << u"https://packs/space"_s << false;
        QTest::newRow("numeric top level") << u"https://example.123/x"_s << false;
        QTest::newRow("one-letter top level") << u"https://example.c/x"_s << false;
        QTest::newRow("empty label") << u"https://example..com/x"_s << false;
        QTest::newRow("label with leading hyphen") << u"https://-example.com/x"_s << false;
        QTest::newRow("percent in host") << u"https://ex%61mple.com/x"_s << false;
        QTest::newRow("address out of range") << u"https://256.0.0.1/x"_s << false;
        QTest::newRow("address with three parts") << u"https://127.0.1/x"_s << false;
        QTest::newRow("port not a number") << u"https://example.com:http/x"_s << false;
        QTest::newRow("unclosed IPv6") << u"https://[::1/x"_s << false;
        QTest::newRow("no scheme") << u"://example.com"_s << false;
        QTest::newRow("no separator") << u"example.com/x"_s << false;
        QTest::newRow("empty") << QString() << false;
    }

    void findsLinks()
    {
        QFETCH(QString, text);
        QFETCH(bool, found);
        QCOMPARE(containsLink(text), found);
    }
};

QTEST_GUILESS_MAIN(TestLinkDetector)
#include "tst_linkdetector.moc"
