#include "decoder_messages.h"

#include <QMutex>
#include <QStringList>

#include <cstdio>

#include <sys/mman.h>
#include <unistd.h>

namespace {

QMutex heardLock;
QStringList heard;

void keepMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    const QMutexLocker locker(&heardLock);
    heard << message;
}

}  // namespace

DecoderMessages::DecoderMessages()
{
    {
        const QMutexLocker locker(&heardLock);
        heard.clear();
    }
    previousHandler_ = qInstallMessageHandler(keepMessage);
    std::fflush(stderr);
    capture_ = memfd_create("orvanel-decoder-messages", MFD_CLOEXEC);
    savedStandardError_ = capture_ >= 0 ? dup(STDERR_FILENO) : -1;
    if (savedStandardError_ >= 0)
        dup2(capture_, STDERR_FILENO);
}

DecoderMessages::~DecoderMessages()
{
    std::fflush(stderr);
    if (savedStandardError_ >= 0) {
        dup2(savedStandardError_, STDERR_FILENO);
        close(savedStandardError_);
    }
    if (capture_ >= 0)
        close(capture_);
    qInstallMessageHandler(previousHandler_);
}

QString DecoderMessages::text() const
{
    QByteArray printed;
    if (capture_ >= 0) {
        std::fflush(stderr);
        char buffer[4096];
        for (off_t at = 0;;) {
            const ssize_t got = pread(capture_, buffer, sizeof buffer, at);
            if (got <= 0 || printed.size() > 65536)
                break;
            printed.append(buffer, got);
            at += got;
        }
    }
    const QMutexLocker locker(&heardLock);
    return (heard + QStringList{QString::fromLocal8Bit(printed)}).join(QLatin1Char('\n'));
}
