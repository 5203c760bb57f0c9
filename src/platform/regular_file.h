#pragma once

#include "platform/file_fault.h"
#include "platform/replace_file.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Reads a plain file whole without ever waiting: a FIFO, a device or a folder under the name
// is refused (FileFault::NotRegular) before it is opened for reading, and so is a file larger
// than maxBytes (FileFault::TooLarge), also one that grows past it while it is read. With
// LinkPolicy::DoNotFollow a link is refused too. *modified (optional) receives the file's
// last write time. FileFault::None when *bytes holds the file.
FileFault ReadRegularFile(const QString& path, qint64 maxBytes, LinkPolicy links, QByteArray* bytes,
                          QDateTime* modified = nullptr);

// An exclusive lock on a file that ends with the program that holds it, however it ends (a
// kill -9 or a power cut included), so no stale lock ever outlives its holder. The file is
// opened only when it is a plain file, never through a link and never waited on, and nothing
// is written into it. Two of these on one file in one program exclude each other as two
// programs do. On a file system without locks (some network and FUSE ones) it counts as held.
class ExclusiveFileLock {
public:
    explicit ExclusiveFileLock(const QString& path);
    ~ExclusiveFileLock();
    ExclusiveFileLock(const ExclusiveFileLock&) = delete;
    ExclusiveFileLock& operator=(const ExclusiveFileLock&) = delete;

    // FileFault::None once held (also when already held); FileFault::Held while another
    // holds it; otherwise why the file could not be made or locked. Never waits.
    FileFault TryLock();
    bool IsLocked() const;
    // Lets the lock go and removes its file, which nobody needs once nobody holds it.
    void Unlock();

private:
    QString m_path;
#ifdef Q_OS_WIN
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
};
