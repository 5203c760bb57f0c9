#pragma once

#include <QByteArray>
#include <QString>

// Replaces a file's content safely: the bytes go to a temporary file beside the target,
// which is flushed and synced to disk and only then renamed over the target. On any failure
// the temporary file is removed and the target is left exactly as it was. False on failure;
// also when the target exists but is no plain file or may not be written.
//
// A file the user may write in a folder where they may not create files (a shared project
// folder) has no room beside it for the temporary file: it is then written in place, with
// the same flush and sync checks. Room for the new content is taken first, so a full disk
// fails before any old byte is overwritten; only a crash part-way can leave a mix.
bool ReplaceFileContent(const QString& path, const QByteArray& bytes);
