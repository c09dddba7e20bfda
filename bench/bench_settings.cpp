// SPDX-License-Identifier: GPL-3.0-or-later
// How long reading and writing one settings key takes; each call opens the settings file afresh.
#include "library/settings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());

    const auto &key = Settings::iconPreviewSize();
    key.write(128);
    for (const char *what : { "read", "write" }) {
        const bool writing = what[0] == 'w';
        const int rounds = writing ? 2000 : 100000;
        QElapsedTimer timer;
        timer.start();
        qint64 sum = 0;
        for (int i = 0; i < rounds; ++i) {
            if (writing)
                key.write(i);
            else
                sum += key.read();
        }
        const double micros = static_cast<double>(timer.nsecsElapsed()) / 1000.0 / rounds;
        std::printf("%s iconPreviewSize: %.2f us per call (%d calls, checksum %lld)\n", what, micros, rounds,
            static_cast<long long>(sum));
    }
    return 0;
}
