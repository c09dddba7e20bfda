// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

// A hidden folder in which a whole folder is written before replaceFolder() moves it into place:
// "<prefix><process id>-XXXXXX" in the destination's parent. It is removed again unless kept. The
// process id in the name tells sweep() whether its writer still runs.
class StagingFolder
{
public:
    StagingFolder(const QString &parent, QStringView prefix);
    ~StagingFolder();
    StagingFolder(const StagingFolder &) = delete;
    StagingFolder &operator=(const StagingFolder &) = delete;

    bool isValid() const { return !m_path.isEmpty(); }
    // The errno of a folder that could not be made.
    int error() const { return m_error; }
    const QString &path() const { return m_path; }
    void keep() { m_kept = true; }

    // Settles in `parent` what writers of processes that no longer run left under `prefix`, of the
    // user's own: a destination that a killed replaceFolder() had moved aside is put back (the
    // settleReplace() rules), and the staging folders and their companions are removed.
    static void sweep(const QString &parent, QStringView prefix);

private:
    QString m_path;
    int m_error = 0;
    bool m_kept = false;
};
