// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <chrono>
#include <optional>

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
    // settleReplace() rules), and the staging folders and their companions are removed. Any folder
    // named as this class names them ("<prefix><process id>-…") is swept so. Names without a process
    // id say nothing of their writer and stay, unless `unnamedAge` is given: then those last changed
    // longer ago than that are settled too.
    static void sweep(
        const QString &parent, QStringView prefix, std::optional<std::chrono::seconds> unnamedAge = std::nullopt);

private:
    QString m_path;
    int m_error = 0;
    bool m_kept = false;
};
