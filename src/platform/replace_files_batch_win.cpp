#include "platform/replace_file.h"
#include "platform/replace_files_batch.h"

// Windows has no sync of a whole file system for a user: each file is replaced and flushed on
// its own.
QVector<bool> ReplaceFilesBatch(const QVector<BatchFile>& files) {
    QVector<bool> done;
    for (const BatchFile& f : files)
        done << ReplaceFileContent(f.path, f.bytes);
    return done;
}
