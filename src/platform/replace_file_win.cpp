#include "platform/replace_file.h"

#include "platform/win_error_fault.h"

#include <QDir>
#include <QRandomGenerator>

#include <algorithm>
#include <string>
#include <windows.h>

namespace {

class Handle {
public:
    explicit Handle(HANDLE h) : m_h(h) {}
    ~Handle() {
        if (valid())
            CloseHandle(m_h);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return m_h != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_h; }
    bool Close() {
        const HANDLE h = m_h;
        m_h = INVALID_HANDLE_VALUE;
        return CloseHandle(h) != 0;
    }

private:
    HANDLE m_h;
};

bool Failed(FileFault* fault, DWORD error) {
    if (fault)
        *fault = FaultOfError(error);
    return false;
}

std::wstring NativePath(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

bool WriteAll(HANDLE h, const QByteArray& bytes) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const DWORD chunk = DWORD(std::min<qsizetype>(left, qsizetype(1) << 30));
        DWORD written = 0;
        if (!WriteFile(h, p, chunk, &written, nullptr) || written == 0)
            return false;
        p += written;
        left -= written;
    }
    return true;
}

// A new file beside the target, named after it, that nobody else opened.
HANDLE CreateTemporary(const std::wstring& target, std::wstring* name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name = target + L'.' +
                QString::number(QRandomGenerator::global()->generate(), 36).toStdWString();
        const HANDLE h = CreateFileW(name->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return h;
    }
    return INVALID_HANDLE_VALUE;
}

bool WriteInPlace(const std::wstring& target, const QByteArray& bytes) {
    Handle file(CreateFileW(target.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return false;
    LARGE_INTEGER oldSize{};
    LARGE_INTEGER newSize{};
    newSize.QuadPart = bytes.size();
    if (!GetFileSizeEx(file.get(), &oldSize))
        return false;
    // Growing the file first takes the room for the new content.
    if (newSize.QuadPart > oldSize.QuadPart &&
        (!SetFilePointerEx(file.get(), newSize, nullptr, FILE_BEGIN) || !SetEndOfFile(file.get())))
        return false;
    const LARGE_INTEGER start{};
    // After the write the file pointer stands at the new end, where SetEndOfFile cuts.
    return SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN) &&
           WriteAll(file.get(), bytes) && SetEndOfFile(file.get()) &&
           FlushFileBuffers(file.get()) && file.Close();
}

} // namespace

bool ReplaceFileContent(const QString& path, const QByteArray& bytes, LinkPolicy links,
                        FileFault* fault) {
    if (fault)
        *fault = FileFault::None;
    if (path.isEmpty())
        return Failed(fault, ERROR_FILE_NOT_FOUND);
    const std::wstring target = NativePath(path);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    const bool link = exists && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    // A read-only file is not replaced behind its owner's back.
    if (exists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))) {
        if (fault)
            *fault = FileFault::NotRegular;
        return false;
    }
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY))
        return Failed(fault, ERROR_ACCESS_DENIED);

    std::wstring temporary;
    Handle file(CreateTemporary(target, &temporary));
    if (!file.valid()) { // no room beside it: a folder the user may not write to
        const DWORD error = GetLastError();
        if (!exists || (link && links == LinkPolicy::DoNotFollow))
            return Failed(fault, error);
        return WriteInPlace(target, bytes) || Failed(fault, GetLastError());
    }
    // FlushFileBuffers puts the bytes on the disk before the rename can; with
    // MOVEFILE_WRITE_THROUGH the rename itself is on the disk when the call returns, so the
    // folder needs no step of its own. MoveFileEx replaces a link itself, never its target.
    const bool written =
        WriteAll(file.get(), bytes) && FlushFileBuffers(file.get()) && file.Close();
    if (!written || !MoveFileExW(temporary.c_str(), target.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        return Failed(fault, error);
    }
    return true;
}

bool SyncFolderOf(const QString&) {
    return true; // renames here are written through (MOVEFILE_WRITE_THROUGH)
}

bool MoveAside(const QString& from, const QString& to, FileFault* fault) {
    if (!MoveFileExW(NativePath(from).c_str(), NativePath(to).c_str(), MOVEFILE_WRITE_THROUGH))
        return Failed(fault, GetLastError());
    if (fault)
        *fault = FileFault::None;
    return true;
}
