#include "platform/replace_file.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    // close() can report a late write error (on network file systems): it counts.
    bool Close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool WriteAll(int fd, const QByteArray& bytes) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

// A new file beside the target, named after it, that nobody else opened.
int CreateTemporary(const QByteArray& target, mode_t mode, QByteArray* name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name = target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::open(name->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool WriteInPlace(const QByteArray& target, off_t oldSize, const QByteArray& bytes) {
    Fd fd(::open(target.constData(), O_WRONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return false;
    if (bytes.size() > oldSize && ::posix_fallocate(fd.get(), 0, off_t(bytes.size())) != 0)
        return false;
    return WriteAll(fd.get(), bytes) && ::ftruncate(fd.get(), off_t(bytes.size())) == 0 &&
           ::fsync(fd.get()) == 0 && fd.Close();
}

} // namespace

bool ReplaceFileContent(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    // A link is followed: the file it names is replaced, the link stays.
    const QByteArray target = QFile::encodeName(info.exists() ? info.canonicalFilePath() : path);
    struct stat st {};
    const bool exists = ::stat(target.constData(), &st) == 0;
    // A read-only file is not replaced behind its owner's back, though renaming over it
    // would succeed.
    if (exists && (!S_ISREG(st.st_mode) || ::access(target.constData(), W_OK) != 0))
        return false;

    // A new target gets what any new file gets (0666 less the umask); a replaced one keeps
    // its permissions, copied once the file is private to us. Some file systems refuse
    // the copy (FAT): that is no reason to fail.
    QByteArray temporary;
    Fd fd(CreateTemporary(target, exists ? 0600 : 0666, &temporary));
    if (fd.get() < 0) // no room beside it: a folder the user may not write to
        return exists && WriteInPlace(target, st.st_size, bytes);
    if (exists)
        ::fchmod(fd.get(), st.st_mode & 07777);
    const bool written = WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0 && fd.Close();
    if (!written || ::rename(temporary.constData(), target.constData()) != 0) {
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}
