// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/iconcontainer.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class ContainerManager;

// A home folder of the test's own, with QStandardPaths in test mode: the library folder lies inside
// it, so tests never touch the user's folders. Make one per test program, before the first use of
// the library, and call reset() before each test.
class LibraryFixture
{
public:
    LibraryFixture();

    bool isValid() const { return m_home.isValid(); }
    // Where the library's data folder is ("…/Glimbar" and "…/Glimbar/Library" lie inside).
    QString dataFolder() const;
    // The library folder, whether or not it exists yet.
    QString libraryFolder() const;
    // Removes the library, and with it every container of an earlier test.
    void reset() const;

    // Creates the folder (and its parents) and the file with `contents`; false when it cannot.
    static bool writeFile(const QString &path, const QByteArray &contents);
    static QByteArray readFile(const QString &path);
    // Everything in a folder, hidden members too, by name.
    static QStringList listing(const QString &path);
    // Every file and folder below `path`, relative to it, by name.
    static QStringList tree(const QString &path);

    // Runs a load of `manager` and returns what it published once the queued assignment has run;
    // none when it published nothing.
    static std::optional<QList<IconContainer>> load(ContainerManager &manager);

private:
    QTemporaryDir m_home;
};
