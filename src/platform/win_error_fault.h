#pragma once

#include "platform/file_fault.h"

#include <windows.h>

// The fault a Windows error code stands for (Windows builds only).
inline FileFault FaultOfError(DWORD error) {
    switch (error) {
    case ERROR_SUCCESS:
        return FileFault::None;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        return FileFault::Missing;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_QUOTA_EXCEEDED:
        return FileFault::NoSpace;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return FileFault::NoPermission;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return FileFault::Held;
    default:
        return FileFault::Other;
    }
}
