// SPDX-License-Identifier: GPL-3.0-or-later
// How long reading and writing one settings key takes (targets: a read at most 1 µs, a write at
// most 50 µs); the store keeps values in memory and writes the file when idle.
#include "benchtable.h"
#include "library/settings.h"
#include "platform/settings/settingsstore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());

    SettingsStore store;
    const Settings settings(store);
    const auto &key = settings.iconPreviewSize();
    key.write(128);
    constexpr int repeats = 7;
    BenchTable table;
    for (const char *what : { "read", "write" }) {
        const bool writing = what[0] == 'w';
        const int rounds = writing ? 20000 : 200000;
        QList<double> samples;
        qint64 sum = 0;
        for (int repeat = 0; repeat < repeats; ++repeat) {
            QElapsedTimer timer;
            timer.start();
            for (int i = 0; i < rounds; ++i) {
                if (writing)
                    key.write(i);
                else
                    sum += key.read();
            }
            samples.append(static_cast<double>(timer.nsecsElapsed()) / 1000.0 / rounds);
            // What the idle timer would do between bursts.
            QCoreApplication::processEvents();
        }
        std::sort(samples.begin(), samples.end());
        const double micros = samples.at(repeats / 2);
        const double limit = writing ? 50 : 1;
        std::printf("%s iconPreviewSize: median of %d runs of %d calls (checksum %lld)\n", what, repeats, rounds,
            static_cast<long long>(sum));
        table.add(QStringLiteral("%1 iconPreviewSize, per call").arg(QLatin1StringView(what)), micros,
            QStringLiteral("µs"), limit, 3);
    }
    store.sync();
    return table.print();
}
