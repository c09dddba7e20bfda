// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include <cstdio>

// Redirects standard output (file descriptor 1) into a temporary file while it lives, so that a
// test can check the lines the program prints. Whatever is not taken with takeLines() is passed on
// to the real standard output when the capture ends, so that a test's own failure messages, printed
// during the capture, are not lost.
class StandardOutputCapture
{
public:
    StandardOutputCapture();
    ~StandardOutputCapture();
    StandardOutputCapture(const StandardOutputCapture &) = delete;
    StandardOutputCapture &operator=(const StandardOutputCapture &) = delete;

    // The complete lines printed since the last call, without their line ends.
    QStringList takeLines();

private:
    QByteArray readNew();

    std::FILE *m_file = nullptr;
    int m_savedStdout = -1;
    long m_readOffset = 0;
};
