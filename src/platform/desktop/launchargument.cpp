// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/launchargument.h"

#include "platform/text/printabletext.h"
#include "platform/text/standardoutput.h"
#include "platform/text/translationcontext.h"

#include <QDir>
#include <QUrl>

#include <algorithm>
#include <iterator>

using namespace Qt::Literals::StringLiterals;

namespace {

// Longer arguments are no link and no path the program could use.
constexpr qsizetype maxArgumentLength = 8192;

constexpr TranslationContext tr { "LaunchArgument" };

bool hasScheme(const QString &argument, const QString &scheme)
{
    return argument.size() > scheme.size() && argument.at(scheme.size()) == u':'
        && argument.startsWith(scheme, Qt::CaseInsensitive);
}

// The options QGuiApplication and QApplication take out of the command line, as documented; the
// first group takes the next argument as its value.
constexpr QStringView qtOptionsWithValue[]
    = { u"platform", u"platformpluginpath", u"platformtheme", u"plugin", u"qwindowgeometry", u"qwindowicon",
          u"qwindowtitle", u"session", u"display", u"geometry", u"style", u"stylesheet", u"qmljsdebugger" };
constexpr QStringView qtFlags[] = { u"reverse", u"widgetcount", u"nograb", u"dograb", u"sync" };

bool isOption(QStringView argument)
{
    return argument.size() > 1 && argument.startsWith(u'-');
}

} // namespace

QString LaunchArgument::unknownOption(const QStringList &commandLine)
{
    for (qsizetype i = 1; i < commandLine.size(); ++i) {
        const QString &given = commandLine.at(i);
        if (given == u"--")
            break;
        if (!isOption(given) || given == u"-h" || given == u"--help" || given == u"--version")
            continue;
        // Qt reads its options with one dash or two, and with "=value" or the value after.
        QStringView name = QStringView(given).mid(given.startsWith(u"--") ? 2 : 1);
        const qsizetype equals = name.indexOf(u'=');
        const bool inlineValue = equals >= 0;
        name = name.left(inlineValue ? equals : name.size());
        if (std::find(std::begin(qtOptionsWithValue), std::end(qtOptionsWithValue), name)
            != std::end(qtOptionsWithValue)) {
            if (!inlineValue)
                ++i;
            continue;
        }
        if (!inlineValue && std::find(std::begin(qtFlags), std::end(qtFlags), name) != std::end(qtFlags))
            continue;
        return given;
    }
    return {};
}

QString LaunchArgument::urlScheme()
{
    return u"glimbar"_s;
}

LaunchArgument LaunchArgument::classify(const QString &argument, const QString &workingFolder)
{
    if (argument.isEmpty() || argument.size() > maxArgumentLength || argument.contains(QChar(u'\0')))
        return { Kind::invalid, tr("Not a link or file name: %1").arg(printableText(argument)) };
    if (hasScheme(argument, urlScheme()))
        return { Kind::link, argument };
    if (hasScheme(argument, u"file"_s)) {
        const QUrl url(argument, QUrl::StrictMode);
        const bool onThisMachine = url.host().isEmpty() || url.host() == u"localhost"_s;
        if (!url.isValid() || !url.isLocalFile() || !onThisMachine || url.path().isEmpty())
            return { Kind::invalid, tr("Not a file link: %1").arg(printableText(argument)) };
        return { Kind::file, QDir::cleanPath(url.path()) };
    }
    return { Kind::file, QDir::cleanPath(QDir(workingFolder).absoluteFilePath(argument)) };
}

QStringList launchArguments(const QStringList &commandLine, const QString &workingFolder, QString *unknownOption)
{
    QStringList arguments;
    bool options = true;
    for (qsizetype i = 1; i < commandLine.size(); ++i) {
        const QString &given = commandLine.at(i);
        if (options && given == u"--") {
            options = false;
            continue;
        }
        // A lone "-" is a file's name, as it is to most programs that take files.
        if (options && isOption(given)) {
            if (unknownOption)
                *unknownOption = given;
            return {};
        }
        const LaunchArgument argument = LaunchArgument::classify(given, workingFolder);
        if (argument.kind == LaunchArgument::Kind::invalid)
            printLine(argument.value);
        else
            arguments.append(argument.value);
    }
    return arguments;
}
