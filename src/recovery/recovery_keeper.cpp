#include "recovery/recovery_keeper.h"

#include "platform/regular_file.h"
#include "platform/replace_file.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <iterator>

namespace {

const QString LEFT_COPY_QUESTION = QCoreApplication::translate(
    "RecoveryKeeper", "前回保存されなかったリストがあります。復元しますか？");

// What each fault is called: in the log (English), to the operator when the copy cannot be
// written, and to the operator when a left copy cannot be read. A fault not in the table takes
// the last row's words; a null entry takes that row's too.
struct FaultWording {
    FileFault fault;
    const char* log;
    const char* notWritten;
    const char* notRead;
};
// clang-format off
constexpr FaultWording FAULT_WORDS[] = {
    {FileFault::None,         nullptr,                                               nullptr,                                                          QT_TRANSLATE_NOOP("RecoveryKeeper", "形式が違うか、途中で切れています")},
    {FileFault::Missing,      "no such folder",                                      QT_TRANSLATE_NOOP("RecoveryKeeper", "フォルダが見つかりません"),                                       nullptr},
    {FileFault::NoSpace,      "no space left",                                       QT_TRANSLATE_NOOP("RecoveryKeeper", "空き容量が足りません"),                                           nullptr},
    {FileFault::NoPermission, "not permitted",                                       QT_TRANSLATE_NOOP("RecoveryKeeper", "書き込みが許可されていません"),                                   QT_TRANSLATE_NOOP("RecoveryKeeper", "読み取りが許可されていません")},
    {FileFault::NotRegular,   "something other than a plain file has that name",     QT_TRANSLATE_NOOP("RecoveryKeeper", "同じ名前で通常のファイルでないもの（リンク、FIFOなど）があります"), QT_TRANSLATE_NOOP("RecoveryKeeper", "通常のファイルではありません（リンク、FIFOなど）")},
    {FileFault::TooLarge,     "larger than any copy can be",                         nullptr,                                                          QT_TRANSLATE_NOOP("RecoveryKeeper", "どのリストよりも大きいファイルです")},
    {FileFault::Other,        "the system refused it",                               QT_TRANSLATE_NOOP("RecoveryKeeper", "書き込みに失敗しました"),                                         QT_TRANSLATE_NOOP("RecoveryKeeper", "読み込みに失敗しました")},
};
// clang-format on

// The log's words stay English; the operator's are translated.
QString Shown(const char* text, const char* FaultWording::*which) {
    return which == &FaultWording::log ? QString::fromUtf8(text)
                                       : QCoreApplication::translate("RecoveryKeeper", text);
}

QString Words(FileFault fault, const char* FaultWording::*which) {
    const FaultWording& fallback = FAULT_WORDS[std::size(FAULT_WORDS) - 1];
    for (const FaultWording& row : FAULT_WORDS) {
        if (row.fault == fault && row.*which != nullptr)
            return Shown(row.*which, which);
    }
    return Shown(fallback.*which, which);
}

QString FaultWords(FileFault fault) {
    return Words(fault, &FaultWording::log);
}

QString FaultWordsJa(FileFault fault) {
    return Words(fault, &FaultWording::notWritten);
}

// Why a left copy could not be read, for the operator.
QString UnreadableWordsJa(FileFault fault) {
    return Words(fault, &FaultWording::notRead);
}

QString Native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

RecoveryKeeper::RecoveryKeeper(StateSource state) : m_state(std::move(state)) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(RECOVERY_DELAY_MS);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryKeeper::WriteNow);
}

// The writer's thread ends before the keeper's members go.
RecoveryKeeper::~RecoveryKeeper() {
    m_writer.reset();
}

bool RecoveryKeeper::Start(const QString& folder) {
    m_path = QDir(folder).filePath(QString::fromLatin1(RECOVERY_FILE_NAME));
    // Reports arrive on the writer's thread; the keeper takes them between events of its own.
    m_writer = std::make_unique<RecoveryWriter>(m_path, [this](const RecoveryHealth& health) {
        QMetaObject::invokeMethod(
            this, [this, health] { OnHealth(health); }, Qt::QueuedConnection);
    });
    m_active = true;
    const QFileInfo left(m_path);
    if (left.exists() || left.isSymLink()) {
        const FileFault fault = m_writer->LockNow();
        if (fault == FileFault::Held) {
            OnHealth(RecoveryHealth{RecoveryHealth::State::OtherProgram, fault, true});
            return false;
        }
        // A lock that cannot be made for now does not keep the copy from its operator.
        if (fault != FileFault::None)
            OnHealth(RecoveryHealth{RecoveryHealth::State::Lapsed, fault, true});
        m_leftCopy = true;
    }
    return m_active;
}

LeftCopy RecoveryKeeper::TakeLeftCopy() {
    LeftCopy left;
    if (!m_leftCopy || m_offered)
        return left;
    m_offered = true;
    QByteArray bytes;
    QDateTime written;
    const FileFault fault =
        ReadRegularFile(m_path, MAX_RECOVERY_BYTES, LinkPolicy::DoNotFollow, &bytes, &written);
    if (fault == FileFault::Missing) {
        m_leftCopy = false; // gone meanwhile
        return left;
    }
    if (fault == FileFault::None && ParseRecoveryFile(bytes, &left.state)) {
        // Numbered as any list is, whatever numbers the copy held.
        for (int i = 0; i < left.state.rows.size(); ++i)
            left.state.rows[i].no = RowLabel(i + 1);
        left.offered = true;
        // A copy whose folder stopped taking writes can be older than the list was: the time
        // tells the operator which work it holds.
        left.question =
            LEFT_COPY_QUESTION +
            QCoreApplication::translate("RecoveryKeeper",
                                        "\n（このコピーを最後に書き込んだ日時: %1）")
                .arg(written.toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
        return left;
    }

    // Never thrown away unread, nor written over: moved aside, and the operator told where.
    const QString why = UnreadableWordsJa(fault);
    std::fprintf(stderr, "tarnwick: the recovery copy %s cannot be read (%s)\n",
                 qPrintable(Native(m_path)),
                 qPrintable(fault == FileFault::None ? QStringLiteral("not a whole copy")
                                                     : FaultWords(fault)));
    FileFault moveFault = FileFault::None;
    if (MoveLeftCopyAside(&moveFault)) {
        left.notice = QCoreApplication::translate(
                          "RecoveryKeeper", "前回の復元用コピーを読み込めませんでした（%1）。\n"
                                            "次の名前で残してあります:\n%2")
                          .arg(why, Native(m_asidePath));
        m_leftCopy = false;
        return left;
    }
    // Left where it is, the copy is not written over: none is kept until it is moved.
    m_unreadableStays = true;
    left.notice =
        QCoreApplication::translate(
            "RecoveryKeeper", "前回の復元用コピーを読み込めませんでした（%1）。\n"
                              "別の名前に移せなかったため、そのまま残してあります:\n%2\n"
                              "このファイルを移すか削除するまで、復元用コピーは作られません。")
            .arg(why, Native(m_path));
    OnHealth(RecoveryHealth{RecoveryHealth::State::Lapsed, moveFault, false});
    return left;
}

// A name of its own beside the copy, visible (no leading dot) so that it is found.
bool RecoveryKeeper::MoveLeftCopyAside(FileFault* fault) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QDir folder = QFileInfo(m_path).absoluteDir();
    for (int n = 1; n < 100; ++n) {
        m_asidePath =
            folder.filePath(QStringLiteral("tarnwick-recovery-unreadable-%1%2")
                                .arg(stamp, n == 1 ? QString() : QStringLiteral("-%1").arg(n)));
        if (MoveAside(m_path, m_asidePath, fault))
            return true;
        if (QFileInfo(m_asidePath).exists() || QFileInfo(m_asidePath).isSymLink())
            continue; // that name is taken: the next
        return false;
    }
    return false;
}

void RecoveryKeeper::Schedule() {
    if (m_active && !m_finished && !m_timer.isActive())
        m_timer.start();
}

void RecoveryKeeper::WriteNow() {
    m_timer.stop();
    if (!m_active || m_finished || !m_writer)
        return;
    if (m_leftCopy) {
        FileFault fault = FileFault::None;
        if (!m_unreadableStays || !MoveLeftCopyAside(&fault))
            return;
        std::fprintf(stderr, "tarnwick: the unreadable recovery copy is now %s\n",
                     qPrintable(Native(m_asidePath)));
        m_unreadableStays = false;
        m_leftCopy = false;
    }
    m_writer->Submit(m_state());
}

void RecoveryKeeper::Drain() {
    if (m_writer)
        m_writer->Drain();
}

void RecoveryKeeper::Keep() {
    m_leftCopy = false;
    Schedule();
}

void RecoveryKeeper::Discard() {
    m_timer.stop();
    m_leftCopy = false;
    if (!m_writer)
        return;
    m_writer->Drain();
    // Without the lock the copy may be another program's.
    if (m_writer->Locked() && QFile::remove(m_path))
        SyncFolderOf(m_path);
    m_writer->ForgetWritten();
}

void RecoveryKeeper::Finish(bool keepCopy) {
    m_timer.stop();
    if (m_finished || !m_writer)
        return;
    m_finished = true;
    if (keepCopy && m_active && !m_leftCopy)
        m_writer->Submit(m_state());
    // The last state is on the disk, or has failed, before the program goes on to end.
    m_writer->Drain();
    m_writer->Stop();
    if (!keepCopy && !m_leftCopy && m_writer->Locked()) {
        const QFileInfo copy(m_path);
        if ((copy.exists() || copy.isSymLink()) && !QFile::remove(m_path)) {
            std::fprintf(stderr,
                         "tarnwick: the recovery copy %s cannot be removed; the next start "
                         "offers it with the time it was written\n",
                         qPrintable(Native(m_path)));
        } else {
            SyncFolderOf(m_path);
        }
    }
    m_writer->Unlock();
}

void RecoveryKeeper::OnHealth(const RecoveryHealth& health) {
    if (health == m_health)
        return;
    using State = RecoveryHealth::State;
    const QString path = Native(m_path);
    switch (health.state) {
    case State::Kept:
        std::fprintf(stderr, "tarnwick: the recovery copy %s is written again\n", qPrintable(path));
        break;
    case State::Lapsed:
        if (health.lockFault) {
            std::fprintf(stderr,
                         "tarnwick: the lock %s.lock beside the recovery copy cannot be made "
                         "(%s); tried again at the next change\n",
                         qPrintable(path), qPrintable(FaultWords(health.fault)));
        } else {
            std::fprintf(stderr,
                         "tarnwick: the recovery copy %s cannot be written (%s); tried again "
                         "at the next change\n",
                         qPrintable(path), qPrintable(FaultWords(health.fault)));
        }
        break;
    case State::OtherProgram:
        std::fprintf(stderr,
                     "tarnwick: another running Tarnwick keeps the recovery copy %s; this one "
                     "keeps none\n",
                     qPrintable(path));
        m_active = false;
        m_timer.stop();
        break;
    }
    m_health = health;
    Show(health);
}

void RecoveryKeeper::Show(const RecoveryHealth& health) {
    if (!m_indicator)
        return;
    using State = RecoveryHealth::State;
    const QString folder = Native(QFileInfo(m_path).absolutePath());
    switch (health.state) {
    case State::Kept:
        m_indicator(QString(), QString());
        break;
    case State::Lapsed:
        m_indicator(
            QCoreApplication::translate("RecoveryKeeper", "復元用コピーを保存できません"),
            QCoreApplication::translate("RecoveryKeeper",
                                        "作業フォルダ %1 に%2を作れません（%3）。\n"
                                        "強制終了や停電のとき、保存していない変更は戻りません。\n"
                                        "次の変更のときにもう一度書き込みます。")
                .arg(folder,
                     health.lockFault
                         ? QCoreApplication::translate("RecoveryKeeper", "復元用コピーのロック")
                         : QCoreApplication::translate("RecoveryKeeper", "復元用コピー"),
                     FaultWordsJa(health.fault)));
        break;
    case State::OtherProgram:
        m_indicator(
            QCoreApplication::translate("RecoveryKeeper", "復元用コピーは別のTarnwickが使用中"),
            QCoreApplication::translate(
                "RecoveryKeeper", "同じ作業フォルダ %1 で動いている別のTarnwickが復元用コピーを"
                                  "使っているため、このTarnwickは復元用コピーを作りません。\n"
                                  "強制終了や停電のとき、保存していない変更は戻りません。")
                .arg(folder));
        break;
    }
}
