#include "platform/posix_file.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Fd::~Fd() {
    if (m_fd >= 0)
        ::close(m_fd);
}

int Fd::release() {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

bool Fd::Close() {
    return ::close(release()) == 0;
}

bool FollowedTarget(const QByteArray& path, QByteArray* target) {
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        // No link: the name itself, with the links of its folders resolved where it exists.
        const QFileInfo info(QFile::decodeName(path));
        *target = info.exists() ? QFile::encodeName(info.canonicalFilePath()) : path;
        return true;
    }
    // realpath fails on a link that leads nowhere or round (ELOOP).
    char* resolved = ::realpath(path.constData(), nullptr);
    if (!resolved)
        return false;
    *target = QByteArray(resolved);
    std::free(resolved);
    return true;
}

bool WriteAll(int fd, const QByteArray& bytes) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            errno = ENOSPC;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

int CreateTemporary(const QByteArray& target, mode_t mode, QByteArray* name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name = target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::open(name->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

QByteArray FolderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

bool SyncFolder(const QByteArray& folder) {
    Fd fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0)
        return false;
    return ::fsync(fd.get()) == 0 || errno == EINVAL || errno == ENOTSUP;
}
