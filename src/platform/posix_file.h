#pragma once

#include <QByteArray>

#include <sys/types.h>

// What the POSIX file layers share: a descriptor that closes itself, a write that goes on
// until everything is written, a temporary file beside a target, and a folder's sync.

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd();
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    // Hands the descriptor over; it is no longer closed here.
    int release();
    // close() can report a late write error (on network file systems): it counts.
    bool Close();

private:
    int m_fd;
};

// The name a file is replaced under when links are followed: where a link (or a chain of
// them) leads, or the name itself when no link stands there. False for a link that leads
// nowhere (dangling, or a loop): a file put in its place would not be where the link said.
bool FollowedTarget(const QByteArray& path, QByteArray* target);

// Writes all the bytes, through interruptions. False with errno set (ENOSPC for a write that
// takes nothing).
bool WriteAll(int fd, const QByteArray& bytes);

// A new file beside the target, named after it, that nobody else opened; -1 with errno set.
int CreateTemporary(const QByteArray& target, mode_t mode, QByteArray* name);

// The folder a path names its file in ("." for a bare name).
QByteArray FolderOf(const QByteArray& path);

// fsync on a folder makes its entries durable. Some file systems cannot sync a folder at all
// (EINVAL, ENOTSUP); there nothing more can be done, and that is no failure.
bool SyncFolder(const QByteArray& folder);
