// SPDX-License-Identifier: GPL-3.0-or-later
#include "standardoutputcapture.h"

#include <QByteArray>
#include <QString>

#include <unistd.h>

StandardOutputCapture::StandardOutputCapture()
{
    std::fflush(stdout);
    m_file = std::tmpfile();
    m_savedStdout = ::dup(STDOUT_FILENO);
    if (m_file && m_savedStdout >= 0)
        ::dup2(::fileno(m_file), STDOUT_FILENO);
}

StandardOutputCapture::~StandardOutputCapture()
{
    const QByteArray rest = readNew();
    if (m_savedStdout >= 0) {
        ::dup2(m_savedStdout, STDOUT_FILENO);
        ::close(m_savedStdout);
    }
    if (!rest.isEmpty()) {
        std::fwrite(rest.constData(), 1, size_t(rest.size()), stdout);
        std::fflush(stdout);
    }
    if (m_file)
        std::fclose(m_file);
}

QByteArray StandardOutputCapture::readNew()
{
    std::fflush(stdout);
    if (!m_file)
        return {};
    QByteArray bytes;
    std::fseek(m_file, m_readOffset, SEEK_SET);
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, m_file)) > 0)
        bytes.append(buffer, qsizetype(n));
    m_readOffset += long(bytes.size());
    return bytes;
}

QStringList StandardOutputCapture::takeLines()
{
    QString text = QString::fromUtf8(readNew());
    if (text.isEmpty())
        return {};
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text.split(u'\n');
}
