#pragma once

#include <QByteArray>
#include <QString>

// Replaces a file's content safely: the bytes go to a temporary file beside the target,
// which is flushed and synced to disk and only then renamed over the target. On any failure
// the temporary file is removed and the target is left exactly as it was. False on failure;
// also when the target exists but is no plain file or may not be written.
bool ReplaceFileContent(const QString& path, const QByteArray& bytes);
