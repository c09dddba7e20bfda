// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/net/httpsfetch.h"

#include "platform/files/safewrite.h"

#include <QFile>

#include <curl/curl.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Transfer
{
    const HttpsFetch::Limits &limits;
    const std::atomic<bool> *cancel;
    CURL *handle;
    int fd;
    qint64 headerBytes = 0;
    qint64 bodyBytes = 0;
    bool tooLarge = false;
    bool wrongStatus = false;
    int writeError = 0;
    bool tooSlow = false;
    bool headersTooLarge = false;
    // The start of the current low-speed window and the bytes that had arrived by then.
    Clock::time_point windowStart = Clock::now();
    qint64 windowBytes = 0;
};

size_t receiveHeader(char *data, size_t size, size_t count, void *context)
{
    auto *transfer = static_cast<Transfer *>(context);
    const size_t bytes = size * count;
    // Headers of redirects count too: a chain of them is no way around the bound.
    transfer->headerBytes += qint64(bytes);
    if (transfer->headerBytes > transfer->limits.maxHeaderBytes) {
        transfer->headersTooLarge = true;
        return 0;
    }
    Q_UNUSED(data);
    return bytes;
}

size_t receiveBody(char *data, size_t size, size_t count, void *context)
{
    auto *transfer = static_cast<Transfer *>(context);
    const size_t bytes = size * count;
    long status = 0;
    curl_easy_getinfo(transfer->handle, CURLINFO_RESPONSE_CODE, &status);
    if (status != 200) {
        transfer->wrongStatus = true;
        return 0;
    }
    if (transfer->bodyBytes + qint64(bytes) > transfer->limits.maxBodyBytes) {
        transfer->tooLarge = true;
        return 0;
    }
    if (!writeToDescriptor(transfer->fd, QByteArrayView(data, qsizetype(bytes)), &transfer->writeError))
        return 0;
    transfer->bodyBytes += qint64(bytes);
    return bytes;
}

// The low-speed floor, measured over windows of lowSpeedTime; libcurl's own counts whole seconds
// and bodies only, so a server trickling headers would pass it.
int progress(void *context, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto *transfer = static_cast<Transfer *>(context);
    if (transfer->cancel && transfer->cancel->load())
        return 1;
    const Clock::time_point now = Clock::now();
    const auto window = now - transfer->windowStart;
    if (window < transfer->limits.lowSpeedTime)
        return 0;
    const qint64 arrived = transfer->headerBytes + transfer->bodyBytes - transfer->windowBytes;
    const double seconds = std::chrono::duration<double>(window).count();
    if (double(arrived) < double(transfer->limits.minBytesPerSecond) * seconds) {
        transfer->tooSlow = true;
        return 1;
    }
    transfer->windowStart = now;
    transfer->windowBytes = transfer->headerBytes + transfer->bodyBytes;
    return 0;
}

struct CurlDeleter
{
    void operator()(CURL *handle) const { curl_easy_cleanup(handle); }
};

} // namespace

HttpsFetch::Result HttpsFetch::fetch(
    const QByteArray &url, const QString &bodyPath, const Limits &limits, const std::atomic<bool> *cancel)
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    Result result;
    const int fd = ::open(QFile::encodeName(bodyPath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        result.reason = QString::fromLocal8Bit(std::strerror(errno));
        return result;
    }
    const std::unique_ptr<CURL, CurlDeleter> handle(curl_easy_init());
    if (!handle) {
        ::close(fd);
        result.reason = QStringLiteral("libcurl could not start");
        return result;
    }
    Transfer transfer { .limits = limits, .cancel = cancel, .handle = handle.get(), .fd = fd };
    CURL *curl = handle.get();
    const QByteArray caFile = QFile::encodeName(limits.caFile);
    const auto milliseconds = [](std::chrono::milliseconds time) { return long(time.count()); };
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, long(limits.maxRedirects));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // Proxies named in the environment are not used: the link names the one server to ask.
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, milliseconds(limits.deadline));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, milliseconds(limits.lowSpeedTime));
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(limits.maxBodyBytes));
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, receiveHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, receiveBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    // A compressed body could pass the bound many times over once inflated; none is asked for.
    curl_easy_setopt(curl, CURLOPT_HTTP_CONTENT_DECODING, 0L);
    if (!caFile.isEmpty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.constData());
    if (!limits.userAgent.isEmpty())
        curl_easy_setopt(curl, CURLOPT_USERAGENT, limits.userAgent.constData());

    const CURLcode code = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    result.status = int(status);
    const bool closed = ::close(fd) == 0;
    if (status == 200 && (transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED)) {
        result.outcome = Outcome::tooLarge;
    } else if (code == CURLE_OK && status == 200 && closed) {
        result.outcome = Outcome::complete;
    } else if (transfer.headersTooLarge) {
        result.reason = QStringLiteral("the headers passed %1 bytes").arg(limits.maxHeaderBytes);
    } else if (transfer.tooSlow) {
        result.reason = QStringLiteral("the transfer stayed under %1 bytes per second").arg(limits.minBytesPerSecond);
    } else if (transfer.writeError != 0) {
        result.reason = QString::fromLocal8Bit(std::strerror(transfer.writeError));
    } else if (code != CURLE_OK) {
        result.reason = QString::fromUtf8(curl_easy_strerror(code));
    }
    return result;
}
