#pragma once

// Why a file could not be read, written, locked or moved, sorted by what the operator can do
// about it.
enum class FileFault {
    None,
    Missing,      // nothing of that name, or a folder on the way is missing or no folder
    NoSpace,      // the disk or the quota is full, or the file would grow past a limit
    NoPermission, // the file or its folder may not be written, or the disk is read-only
    NotRegular,   // a link, a FIFO, a device or a folder stands under the name
    TooLarge,     // larger than anything this program would have written there
    Held,         // another program holds the lock
    Other,        // any other failure the system reports
};
