#pragma once

// Small helpers shared by the persistence tests: whole-file reads and writes, and running a
// write under a file size limit, which makes it fail part-way as a full disk does.

#include <QFile>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

inline QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

template <typename Fn> void WithFileSizeLimit(rlim_t bytes, Fn&& fn) {
    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = bytes;
    // Past the limit a write fails with EFBIG; the signal that also comes is ignored.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    fn();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
}
