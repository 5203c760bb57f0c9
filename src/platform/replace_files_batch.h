#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// Replaces many files at once, each as safely as ReplaceFileContent does (the new content is
// complete on disk before it takes the old one's place; on failure the target stays exactly as
// it was), but with the waits for the disk gathered: every new content goes to a temporary
// file beside its target, one sync of each file system then brings them all to disk, then
// the renames, then one sync of each folder that received a file, so that the renames too are
// on disk before this returns. A batch of a thousand files waits for the disk a few times, not
// a thousand.
struct BatchFile {
    QString path;
    QByteArray bytes;
};

// One result per file, in order: true when it was replaced (and is on disk).
QVector<bool> ReplaceFilesBatch(const QVector<BatchFile>& files);
