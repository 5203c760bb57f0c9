#include "persist/replace_file.h"

#include <QFileInfo>
#include <QSaveFile>

#include <unistd.h>

bool ReplaceFileContent(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    // A read-only file is not replaced behind its owner's back, though renaming over it
    // would succeed.
    if (info.exists() && (!info.isFile() || !info.isWritable()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // QSaveFile (Qt 6.4) commits even when the flush of its buffer fails, which would put a
    // truncated file in place of the old one: flush and sync here and look at the results.
    const bool written = file.write(bytes) == bytes.size() && file.flush() &&
                         file.error() == QFileDevice::NoError && ::fsync(file.handle()) == 0;
    if (!written) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
