// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakeupdater.h"

using namespace Qt::Literals::StringLiterals;

void FakeUpdater::setAutomaticallyChecksForUpdates(bool on)
{
    automaticChecks = on;
    writes.append(u"automaticallyChecksForUpdates="_s + (on ? u"true"_s : u"false"_s));
}

void FakeUpdater::setAutomaticallyDownloadsUpdates(bool on)
{
    automaticDownloads = on;
    writes.append(u"automaticallyDownloadsUpdates="_s + (on ? u"true"_s : u"false"_s));
}

void FakeUpdater::setUpdateCheckInterval(double seconds)
{
    interval = seconds;
    writes.append(u"updateCheckInterval="_s + QString::number(seconds, 'f', 0));
}
