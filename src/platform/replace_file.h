#pragma once

#include "platform/file_fault.h"

#include <QByteArray>
#include <QString>

// What happens to a symbolic link that stands under a file's name.
enum class LinkPolicy {
    Follow,     // the file the link names is read or replaced, the link stays; a link that
                // leads to no plain file (dangling, a loop, a device) is refused
    DoNotFollow // reading refuses the link; replacing puts a file in the link's place
};

// Replaces a file's content safely: the bytes go to a temporary file beside the target,
// which is flushed and synced to disk and only then renamed over the target; the folder is
// then synced too, so that the rename itself survives a power cut. On any failure the
// temporary file is removed and the target is left exactly as it was. False on failure;
// also when the target exists but is no plain file or may not be written. *fault (optional)
// tells why.
//
// With LinkPolicy::DoNotFollow (a file of the program's own in a folder others may write
// to) anything but a folder under the name (a link, a FIFO) is replaced by the new file and
// never opened: the file a link names stays as it was.
//
// A file the user may write in a folder where they may not create files (a shared project
// folder) has no room beside it for the temporary file: it is then written in place, with
// the same flush and sync checks. Room for the new content is taken first, so a full disk
// fails before any old byte is overwritten; only a crash part-way can leave a mix.
bool ReplaceFileContent(const QString& path, const QByteArray& bytes,
                        LinkPolicy links = LinkPolicy::Follow, FileFault* fault = nullptr);

// Makes the entries of the folder that holds path (a file renamed, made or removed there)
// durable. True also where the file system has no such step.
bool SyncFolderOf(const QString& path);

// Renames from to to, which must not exist yet (nothing is ever replaced), whatever from is
// (a link is moved, not followed), and syncs the folder. False, with *fault, when it cannot.
bool MoveAside(const QString& from, const QString& to, FileFault* fault);
