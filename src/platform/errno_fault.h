#pragma once

#include "platform/file_fault.h"

#include <cerrno>

// The fault an errno value stands for (POSIX builds only).
inline FileFault FaultOfErrno(int error) {
    switch (error) {
    case 0:
        return FileFault::None;
    case ENOENT:
    case ENOTDIR:
        return FileFault::Missing;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return FileFault::NoSpace;
    case EACCES:
    case EPERM:
    case EROFS:
        return FileFault::NoPermission;
    case ELOOP:   // a link, opened with O_NOFOLLOW
    case EISDIR:  // a folder
    case ENXIO:   // a FIFO without a reader, a device without its hardware
    case ENODEV:  // a device
    case ETXTBSY: // a program being run
        return FileFault::NotRegular;
    case EWOULDBLOCK:
        return FileFault::Held;
    default:
        return FileFault::Other;
    }
}
