#include "platform/regular_file.h"

#include "platform/errno_fault.h"
#include "platform/posix_file.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Looks at the name before anything opens it: opening a FIFO for reading waits for a writer,
// and opening some devices does something (a tape rewinds).
FileFault LookFirst(const QByteArray& name, LinkPolicy links) {
    struct stat st {};
    const int looked = links == LinkPolicy::Follow ? ::stat(name.constData(), &st)
                                                   : ::lstat(name.constData(), &st);
    if (looked != 0)
        return errno == ENOENT ? FileFault::None : FaultOfErrno(errno); // made by the open
    return S_ISREG(st.st_mode) ? FileFault::None : FileFault::NotRegular;
}

// Opened without waiting (O_NONBLOCK), in case something else took the name since it was
// looked at; fstat then tells what was really opened.
int OpenChecked(const QByteArray& name, int flags, LinkPolicy links, struct stat* st,
                FileFault* fault) {
    const int noFollow = links == LinkPolicy::DoNotFollow ? O_NOFOLLOW : 0;
    Fd fd(::open(name.constData(), flags | O_NONBLOCK | O_CLOEXEC | noFollow, 0666));
    if (fd.get() < 0 || ::fstat(fd.get(), st) != 0) {
        *fault = FaultOfErrno(errno);
        return -1;
    }
    if (!S_ISREG(st->st_mode)) {
        *fault = FileFault::NotRegular;
        return -1;
    }
    *fault = FileFault::None;
    return fd.release();
}

} // namespace

FileFault ReadRegularFile(const QString& path, qint64 maxBytes, LinkPolicy links, QByteArray* bytes,
                          QDateTime* modified) {
    const QByteArray name = QFile::encodeName(path);
    if (const FileFault fault = LookFirst(name, links); fault != FileFault::None)
        return fault;
    struct stat st {};
    FileFault fault = FileFault::None;
    Fd fd(OpenChecked(name, O_RDONLY, links, &st, &fault));
    if (fd.get() < 0)
        return fault;
    if (st.st_size > maxBytes)
        return FileFault::TooLarge;
    // Bounded even if the file grows while it is read.
    QByteArray read(qsizetype(std::min<qint64>(st.st_size, maxBytes)) + 1, Qt::Uninitialized);
    qsizetype got = 0;
    for (;;) {
        if (got == read.size()) {
            if (got > maxBytes)
                return FileFault::TooLarge;
            read.resize(qsizetype(std::min<qint64>(maxBytes + 1, qint64(read.size()) * 2)));
        }
        const ssize_t n = ::read(fd.get(), read.data() + got, size_t(read.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return FaultOfErrno(errno);
        if (n == 0)
            break;
        got += n;
    }
    if (got > maxBytes)
        return FileFault::TooLarge;
    read.truncate(got);
    *bytes = read;
    if (modified) {
        *modified = QDateTime::fromMSecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000 +
                                                   st.st_mtim.tv_nsec / 1000000);
    }
    return FileFault::None;
}

ExclusiveFileLock::ExclusiveFileLock(const QString& path) : m_path(path) {}

ExclusiveFileLock::~ExclusiveFileLock() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool ExclusiveFileLock::IsLocked() const {
    return m_fd >= 0;
}

FileFault ExclusiveFileLock::TryLock() {
    if (m_fd >= 0)
        return FileFault::None;
    const QByteArray name = QFile::encodeName(m_path);
    // A holder that lets go removes the file: a lock taken on the file it removed guards
    // nothing, so the lock counts only on the file that still stands under the name.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (const FileFault fault = LookFirst(name, LinkPolicy::DoNotFollow);
            fault != FileFault::None)
            return fault;
        struct stat st {};
        FileFault fault = FileFault::None;
        // Read-only suffices for flock, so a lock file another user made can be locked too.
        Fd fd(OpenChecked(name, O_RDONLY | O_CREAT, LinkPolicy::DoNotFollow, &st, &fault));
        if (fd.get() < 0)
            return fault;
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
            // Some network and FUSE file systems have no locks at all: there the file is
            // kept without one, as two programs would keep it without any lock, rather than
            // not at all.
            if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS || errno == EINVAL) {
                m_fd = fd.release();
                return FileFault::None;
            }
            return errno == EWOULDBLOCK ? FileFault::Held : FaultOfErrno(errno);
        }
        struct stat now {};
        if (::lstat(name.constData(), &now) == 0 && now.st_dev == st.st_dev &&
            now.st_ino == st.st_ino) {
            m_fd = fd.release();
            return FileFault::None;
        }
    }
    return FileFault::Other;
}

void ExclusiveFileLock::Unlock() {
    if (m_fd < 0)
        return;
    // Removed while still held, so nobody can take a lock on a file about to go; only the
    // file this lock is on, should something else have taken its name meanwhile.
    const QByteArray name = QFile::encodeName(m_path);
    struct stat mine {};
    struct stat now {};
    if (::fstat(m_fd, &mine) == 0 && ::lstat(name.constData(), &now) == 0 &&
        mine.st_dev == now.st_dev && mine.st_ino == now.st_ino)
        ::unlink(name.constData());
    ::close(m_fd);
    m_fd = -1;
}
