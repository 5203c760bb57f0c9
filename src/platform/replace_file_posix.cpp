#include "platform/replace_file.h"

#include "platform/errno_fault.h"
#include "platform/posix_file.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Keeps the first failure's errno for the caller.
class Failure {
public:
    explicit Failure(FileFault* out) : m_out(out) {}
    bool operator()(int error) {
        if (m_out)
            *m_out = FaultOfErrno(error ? error : EIO);
        return false;
    }
    bool Fault(FileFault fault) {
        if (m_out)
            *m_out = fault;
        return false;
    }

private:
    FileFault* m_out;
};

bool WriteInPlace(const QByteArray& target, LinkPolicy links, const QByteArray& bytes,
                  Failure& failed) {
    // Never waits on a FIFO swapped in meanwhile, and writes to nothing but a plain file.
    const int noFollow = links == LinkPolicy::DoNotFollow ? O_NOFOLLOW : 0;
    Fd fd(::open(target.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | noFollow));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0)
        return failed(errno);
    if (!S_ISREG(st.st_mode))
        return failed.Fault(FileFault::NotRegular);
    if (bytes.size() > st.st_size) {
        const int error = ::posix_fallocate(fd.get(), 0, off_t(bytes.size()));
        if (error != 0)
            return failed(error);
    }
    if (!WriteAll(fd.get(), bytes) || ::ftruncate(fd.get(), off_t(bytes.size())) != 0 ||
        ::fsync(fd.get()) != 0 || !fd.Close())
        return failed(errno);
    return true;
}

} // namespace

bool ReplaceFileContent(const QString& path, const QByteArray& bytes, LinkPolicy links,
                        FileFault* fault) {
    Failure failed(fault);
    if (fault)
        *fault = FileFault::None;
    if (path.isEmpty())
        return failed(ENOENT);
    // Followed, a link leads to the file it names, which is replaced; the link stays. A link
    // that leads nowhere is refused rather than replaced by a file.
    QByteArray target = QFile::encodeName(path);
    if (links == LinkPolicy::Follow && !FollowedTarget(QFile::encodeName(path), &target))
        return failed.Fault(FileFault::NotRegular);
    struct stat st {};
    const int looked = links == LinkPolicy::Follow ? ::stat(target.constData(), &st)
                                                   : ::lstat(target.constData(), &st);
    const bool exists = looked == 0;
    const bool regular = exists && S_ISREG(st.st_mode);
    if (exists && S_ISDIR(st.st_mode))
        return failed.Fault(FileFault::NotRegular);
    // Followed, only a plain file is replaced; not followed, a link or a FIFO under the name
    // is replaced by the new file without being opened.
    if (exists && !regular && links == LinkPolicy::Follow)
        return failed.Fault(FileFault::NotRegular);
    // A read-only file is not replaced behind its owner's back, though renaming over it
    // would succeed.
    if (regular && ::access(target.constData(), W_OK) != 0)
        return failed(errno);

    // A new target gets what any new file gets (0666 less the umask); a replaced one keeps
    // its permissions, copied once the file is private to us. Some file systems refuse
    // the copy (FAT): that is no reason to fail.
    QByteArray temporary;
    Fd fd(CreateTemporary(target, regular ? 0600 : 0666, &temporary));
    if (fd.get() < 0) { // no room beside it: a folder the user may not write to
        const int error = errno;
        return regular ? WriteInPlace(target, links, bytes, failed) : failed(error);
    }
    if (regular)
        ::fchmod(fd.get(), st.st_mode & 07777);
    if (!WriteAll(fd.get(), bytes) || ::fsync(fd.get()) != 0 || !fd.Close() ||
        ::rename(temporary.constData(), target.constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return failed(error);
    }
    // Without this a power cut can take the rename back: the old content would return.
    if (!SyncFolder(FolderOf(target)))
        return failed(errno);
    return true;
}

bool SyncFolderOf(const QString& path) {
    return SyncFolder(FolderOf(QFile::encodeName(path)));
}

bool MoveAside(const QString& from, const QString& to, FileFault* fault) {
    Failure failed(fault);
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    // RENAME_NOREPLACE is refused by some file systems (EINVAL); a hard link to the new name,
    // then the old name removed, never replaces anything either.
#ifdef RENAME_NOREPLACE
    const int renamed =
        ::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE);
#else
    const int renamed = -1;
    errno = ENOSYS;
#endif
    if (renamed != 0) {
        if (errno != EINVAL && errno != ENOSYS)
            return failed(errno);
        if (::link(source.constData(), target.constData()) != 0)
            return failed(errno);
        if (::unlink(source.constData()) != 0) {
            const int error = errno;
            ::unlink(target.constData());
            return failed(error);
        }
    }
    if (!SyncFolder(FolderOf(target)))
        return failed(errno);
    if (fault)
        *fault = FileFault::None;
    return true;
}
