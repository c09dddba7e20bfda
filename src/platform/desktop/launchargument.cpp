// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/launchargument.h"

#include "platform/text/printabletext.h"
#include "platform/text/standardoutput.h"
#include "platform/text/translationcontext.h"

#include <QDir>
#include <QUrl>

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

} // namespace

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

QStringList launchArguments(const QStringList &commandLine, const QString &workingFolder)
{
    QStringList arguments;
    for (qsizetype i = 1; i < commandLine.size(); ++i) {
        const LaunchArgument argument = LaunchArgument::classify(commandLine.at(i), workingFolder);
        if (argument.kind == LaunchArgument::Kind::invalid)
            printLine(argument.value);
        else
            arguments.append(argument.value);
    }
    return arguments;
}
