#include "platform/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString SystemMessage(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString KindOf(mode_t mode) {
    if (S_ISFIFO(mode)) return QStringLiteral("a named pipe (FIFO)");
    if (S_ISDIR(mode)) return QStringLiteral("a folder");
    if (S_ISCHR(mode) || S_ISBLK(mode)) return QStringLiteral("a device");
    if (S_ISSOCK(mode)) return QStringLiteral("a socket");
    return QStringLiteral("not a regular file");
}

QString NotRegular(const QString& path, mode_t mode) {
    return QStringLiteral("Cannot open \"%1\": it is %2, not a regular file.")
        .arg(path, KindOf(mode));
}

} // namespace

TPendingFile::TPendingFile(QString path) : path_(std::move(path)) {}

TPendingFile::~TPendingFile() {
    Drop();
}

void TPendingFile::Drop() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.isEmpty()) ::unlink(temporary_.constData());
    temporary_.clear();
    written_ = false;
}

bool TPendingFile::Fail(const QString& what, int error) {
    error_ = QStringLiteral("%1 \"%2\": %3").arg(what, path_, SystemMessage(error));
    Drop();
    return false;
}

QByteArray TPendingFile::Target() const {
    // A link is followed, so the file it points to gets the new version.
    const QString resolved = QFileInfo(path_).canonicalFilePath();
    return QFile::encodeName(resolved.isEmpty() ? path_ : resolved);
}

bool TPendingFile::Write(const QByteArray& data, const QDateTime& modified) {
    Drop();
    target_ = Target();
    const QByteArray& target = target_;
    std::random_device random;
    for (int attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
        temporary_ = target + '.' + QByteArray::number(random() % 1000000000u, 36) + ".tmp";
        fd_ = ::open(temporary_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
        const int error = errno;
        temporary_.clear();
        return Fail(QStringLiteral("Cannot create a file beside"), error);
    }
    struct stat old;
    if (::stat(target.constData(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(fd_, old.st_mode & 07777);
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR) continue;
        // A full disk may take a few bytes first; the next write says why.
        if (n <= 0) return Fail(QStringLiteral("Cannot write"), n < 0 ? errno : ENOSPC);
        p += n;
        left -= n;
    }
    if (modified.isValid()) {
        const qint64 ms = modified.toMSecsSinceEpoch();
        timespec times[2];
        times[0].tv_nsec = UTIME_OMIT;
        times[1].tv_sec = static_cast<time_t>(ms / 1000);
        times[1].tv_nsec = static_cast<long>(ms % 1000) * 1000000;
        ::futimens(fd_, times);
    }
    if (::fsync(fd_) != 0) return Fail(QStringLiteral("Cannot write"), errno);
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) return Fail(QStringLiteral("Cannot write"), errno);
    written_ = true;
    return true;
}

bool TPendingFile::Commit() {
    if (!written_) {
        if (error_.isEmpty()) error_ = QStringLiteral("Nothing was written for \"%1\".").arg(path_);
        return false;
    }
    if (::rename(temporary_.constData(), target_.constData()) != 0)
        return Fail(QStringLiteral("Cannot replace"), errno);
    temporary_.clear();
    written_ = false;
    return true;
}

namespace SafeFile {

bool Write(const QString& path, const QByteArray& data, QString* error) {
    TPendingFile file(path);
    if (file.Write(data) && file.Commit()) return true;
    if (error) *error = file.Error();
    return false;
}

bool OpenForReading(const QString& path, QFile& file, QString* error) {
    const QByteArray native = QFile::encodeName(path);
    const auto fail = [&](const QString& message) {
        if (error) *error = message;
        return false;
    };
    struct stat st;
    if (::stat(native.constData(), &st) != 0)
        return fail(QStringLiteral("Cannot open \"%1\": %2").arg(path, SystemMessage(errno)));
    if (!S_ISREG(st.st_mode)) return fail(NotRegular(path, st.st_mode));
    // Without O_NONBLOCK a FIFO put in the file's place meanwhile would wait
    // for a writer forever.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return fail(QStringLiteral("Cannot open \"%1\": %2").arg(path, SystemMessage(errno)));
    if (::fstat(fd, &st) != 0) {
        const int e = errno;
        ::close(fd);
        return fail(QStringLiteral("Cannot open \"%1\": %2").arg(path, SystemMessage(e)));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(NotRegular(path, st.st_mode));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(QStringLiteral("Cannot open \"%1\": %2").arg(path, file.errorString()));
    }
    return true;
}

} // namespace SafeFile
