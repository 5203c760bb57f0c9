#include "platform/regular_file.h"

#include "platform/win_error_fault.h"

#include <QDir>

#include <algorithm>
#include <string>
#include <windows.h>

namespace {

std::wstring NativePath(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

// A handle on a plain file only: a reparse point (a link) is opened as itself and refused
// unless followed; a pipe or a device is refused before anything is read.
HANDLE OpenChecked(const QString& path, DWORD access, DWORD creation, LinkPolicy links,
                   FileFault* fault) {
    const DWORD flags = FILE_ATTRIBUTE_NORMAL |
                        (links == LinkPolicy::DoNotFollow ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    const HANDLE h = CreateFileW(NativePath(path).c_str(), access,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 creation, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        *fault = FaultOfError(GetLastError());
        return h;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
        CloseHandle(h);
        *fault = FileFault::NotRegular;
        return INVALID_HANDLE_VALUE;
    }
    *fault = FileFault::None;
    return h;
}

} // namespace

FileFault ReadRegularFile(const QString& path, qint64 maxBytes, LinkPolicy links, QByteArray* bytes,
                          QDateTime* modified) {
    FileFault fault = FileFault::None;
    const HANDLE h = OpenChecked(path, GENERIC_READ, OPEN_EXISTING, links, &fault);
    if (h == INVALID_HANDLE_VALUE)
        return fault;
    LARGE_INTEGER size{};
    FILETIME written{};
    if (!GetFileSizeEx(h, &size) || !GetFileTime(h, nullptr, nullptr, &written)) {
        CloseHandle(h);
        return FileFault::Other;
    }
    if (size.QuadPart > maxBytes) {
        CloseHandle(h);
        return FileFault::TooLarge;
    }
    QByteArray read(qsizetype(size.QuadPart) + 1, Qt::Uninitialized);
    qsizetype got = 0;
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(h, read.data() + got, DWORD(read.size() - got), &n, nullptr)) {
            CloseHandle(h);
            return FileFault::Other;
        }
        if (n == 0)
            break;
        got += n;
        if (got == read.size()) {
            // Grew while read: the limit still holds.
            if (got > maxBytes) {
                CloseHandle(h);
                return FileFault::TooLarge;
            }
            read.resize(qsizetype(std::min<qint64>(maxBytes + 1, qint64(read.size()) * 2)));
        }
    }
    CloseHandle(h);
    read.truncate(got);
    *bytes = read;
    if (modified) {
        ULARGE_INTEGER t{};
        t.LowPart = written.dwLowDateTime;
        t.HighPart = written.dwHighDateTime;
        // 100 ns steps since 1601-01-01.
        *modified = QDateTime::fromMSecsSinceEpoch(qint64(t.QuadPart / 10000) - 11644473600000LL);
    }
    return FileFault::None;
}

ExclusiveFileLock::ExclusiveFileLock(const QString& path) : m_path(path) {}

ExclusiveFileLock::~ExclusiveFileLock() {
    if (m_handle)
        CloseHandle(m_handle);
}

bool ExclusiveFileLock::IsLocked() const {
    return m_handle != nullptr;
}

FileFault ExclusiveFileLock::TryLock() {
    if (m_handle)
        return FileFault::None;
    FileFault fault = FileFault::None;
    const HANDLE h =
        OpenChecked(m_path, GENERIC_READ, OPEN_ALWAYS, LinkPolicy::DoNotFollow, &fault);
    if (h == INVALID_HANDLE_VALUE)
        return fault;
    OVERLAPPED whole{};
    if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                    &whole)) {
        const DWORD error = GetLastError();
        CloseHandle(h);
        return error == ERROR_LOCK_VIOLATION ? FileFault::Held : FaultOfError(error);
    }
    m_handle = h;
    return FileFault::None;
}

void ExclusiveFileLock::Unlock() {
    if (!m_handle)
        return;
    CloseHandle(m_handle);
    m_handle = nullptr;
    // Fails, harmlessly, while another program has it open to lock it.
    DeleteFileW(NativePath(m_path).c_str());
}
