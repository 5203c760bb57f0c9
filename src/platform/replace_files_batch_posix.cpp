#include "platform/replace_files_batch.h"

#include "platform/posix_file.h"
#include "platform/replace_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Brings a file to disk.
bool SyncFile(const QByteArray& path) {
    Fd fd(::open(path.constData(), O_RDONLY | O_CLOEXEC));
    return fd.get() >= 0 && ::fsync(fd.get()) == 0;
}

bool SyncFileSystemOf(const QByteArray& folder) {
#ifdef __linux__
    Fd fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.get() >= 0 && ::syncfs(fd.get()) == 0;
#else
    (void)folder;
    return false;
#endif
}

constexpr int RENAME_THREADS = 8;

struct Pending {
    int index;
    QByteArray target, temporary, folder;
};

} // namespace

QVector<bool> ReplaceFilesBatch(const QVector<BatchFile>& files) {
    QVector<bool> done(files.size(), false);
    QVector<Pending> pending;

    // 1. Every new content into a temporary file beside its target, not yet synced.
    for (int i = 0; i < files.size(); ++i) {
        const BatchFile& f = files.at(i);
        if (f.path.isEmpty())
            continue;
        // As ReplaceFileContent: a link is followed to a plain file; one that leads nowhere, a
        // read-only or a special file is refused.
        QByteArray target;
        if (!FollowedTarget(QFile::encodeName(f.path), &target))
            continue;
        struct stat st {};
        const bool exists = ::stat(target.constData(), &st) == 0;
        if (exists && (!S_ISREG(st.st_mode) || ::access(target.constData(), W_OK) != 0))
            continue;
        QByteArray temporary;
        Fd fd(CreateTemporary(target, exists ? 0600 : 0666, &temporary));
        if (fd.get() < 0) {
            // No room beside it: the single-file path writes in place and syncs it alone.
            done[i] = exists && ReplaceFileContent(f.path, f.bytes);
            continue;
        }
        if (exists)
            ::fchmod(fd.get(), st.st_mode & 07777);
        if (!WriteAll(fd.get(), f.bytes) || !fd.Close()) {
            ::unlink(temporary.constData());
            continue;
        }
        pending.append({i, target, temporary, FolderOf(target)});
    }

    // 2. One sync per file system brings every temporary to disk; where that cannot be had
    // (another system, or it reports a failure), each is synced on its own.
    QSet<QByteArray> folders;
    for (const Pending& p : pending)
        folders.insert(p.folder);
    bool allSynced = true;
    for (const QByteArray& folder : folders)
        allSynced = SyncFileSystemOf(folder) && allSynced;

    // 3. Only complete, synced contents take their target's place. A rename over an existing
    // file frees the old one's blocks, which on some disks (online discard) waits for the
    // device a few milliseconds each: the renames run on several threads, so that those waits
    // overlap instead of adding up. Each thread takes every n-th file.
    std::vector<char> renamed(size_t(pending.size()), 0);
    const int threads = int(std::min<qsizetype>(RENAME_THREADS, pending.size()));
    const auto renameShare = [&](int first) {
        for (qsizetype k = first; k < pending.size(); k += threads) {
            const Pending& p = pending.at(k);
            if ((!allSynced && !SyncFile(p.temporary)) ||
                ::rename(p.temporary.constData(), p.target.constData()) != 0) {
                ::unlink(p.temporary.constData());
                continue;
            }
            renamed[size_t(k)] = 1;
        }
    };
    {
        std::vector<std::thread> pool;
        for (int t = 1; t < threads; ++t)
            pool.emplace_back(renameShare, t);
        if (threads > 0)
            renameShare(0);
        for (std::thread& t : pool)
            t.join();
    }
    QSet<QByteArray> renamedInto;
    for (qsizetype k = 0; k < pending.size(); ++k) {
        if (renamed[size_t(k)]) {
            done[pending.at(k).index] = true;
            renamedInto.insert(pending.at(k).folder);
        }
    }

    // 4. The renames themselves on disk: one sync per folder.
    for (const QByteArray& folder : renamedInto) {
        if (SyncFolder(folder))
            continue;
        for (const Pending& p : pending) {
            if (p.folder == folder)
                done[p.index] = false;
        }
    }
    return done;
}
