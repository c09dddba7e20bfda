// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// What one argument handed to the program asks for. Arguments are outside data: a desktop or a
// browser passes them on, and a running instance receives them from another process.
struct LaunchArgument
{
    enum class Kind {
        // A link of the program's own scheme, kept as the raw text it arrived as.
        link,
        // An absolute path of a file to import.
        file,
        // Nothing the program can act on; `value` says why, fit for one printed line.
        invalid,
    };

    Kind kind = Kind::invalid;
    QString value;

    // The scheme of the links the desktop routes to the program.
    static QString urlScheme();

    // A link of the own scheme stays as it is (the download checks it); a "file:" URL or a path
    // becomes an absolute path, relative paths taken from `workingFolder`.
    static LaunchArgument classify(const QString &argument, const QString &workingFolder);

    // The first option of a whole command line (program name first) that is neither the program's
    // own ("-h", "--help", "--version") nor one Qt takes out of it ("-platform offscreen",
    // "-style=Fusion", …); empty when there is none. Options end at "--". Read before any display
    // is opened, so that a mistyped option is refused in the terminal.
    static QString unknownOption(const QStringList &commandLine);
};

// The arguments of a command line after the program's name, as absolute paths and raw links, in
// order; the ones that cannot be acted on are printed and left out. An argument that starts with
// "-" is an option, and none is known here (the program answers its own before, Qt takes its own):
// the first one ends the reading, lands in `unknownOption` and nothing is returned. "--" ends the
// options, so that a file named "-x" can still be given after it.
QStringList launchArguments(
    const QStringList &commandLine, const QString &workingFolder, QString *unknownOption = nullptr);
