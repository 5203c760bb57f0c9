// The recovery copy's format: everything the list shows comes back whole, and nothing but a
// whole copy is taken for one.
#include "recovery/recovery_file.h"

#include <QtTest>

class TestRecoveryFile : public QObject {
    Q_OBJECT
private slots:
    void theListComesBackWhole_data() {
        QTest::addColumn<QString>("remark");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("fps");
        QTest::newRow("one row, saved") << QString() << QString() << false << 1 << 30;
        QTest::newRow("every character whole")
            << " ＣＭ　春 😀 한국어 \ufeff \"a\"\\b\tc\r\nd" + QString(600, QChar(u'あ'))
            << "C:\\リスト\\x.txt" << true << 40 << 30;
        QTest::newRow("a list at 25 keeps its rate") << "x" << QString() << true << 2 << 25;
    }
    void theListComesBackWhole() {
        QFETCH(QString, remark);
        QFETCH(QString, path);
        QFETCH(bool, modified);
        QFETCH(int, rows);
        QFETCH(int, fps);
        RecoveryState state{{}, path, modified, fps};
        for (int r = 1; r <= rows; ++r) {
            state.rows << ListRowText{RowLabel(r), "A", "01:00:00:00", "", "-00:00:01:00", ""};
        }
        state.rows.last().remark = remark;
        RecoveryState read;
        QVERIFY(ParseRecoveryFile(BuildRecoveryFile(state), &read));
        QVERIFY(read == state);
        QCOMPARE(read.rows.last().remark, remark);
    }

    void anythingButAWholeCopyIsRefused_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("read");
        const QByteArray row = R"(["0001","","","","",""])";
        const auto copy = [](const QByteArray& rows) {
            return R"({"format":"tarnwick-recovery-1","path":"","modified":true,"rows":[)" + rows +
                   "]}";
        };
        QTest::newRow("the whole copy these are cut from") << copy(row) << true;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("not JSON") << QByteArray("0001 0001  01:00:00:00/--:--:--:--/--:-- x")
                                  << false;
        QTest::newRow("cut off") << copy(row).chopped(3) << false;
        QTest::newRow("another format") << copy(row).replace("recovery-1", "recovery-2") << false;
        QTest::newRow("no rows") << copy("") << false;
        QTest::newRow("41 rows") << copy((row + ",").repeated(40) + row) << false;
        QTest::newRow("a row of five cells") << copy(R"(["0001","","","",""])") << false;
        QTest::newRow("a cell that is a number") << copy(R"(["0001",1,"","","",""])") << false;
        QTest::newRow("modified as text") << copy(row).replace("true", "\"1\"") << false;
        QTest::newRow("a top-level array") << QByteArray("[" + copy(row) + "]") << false;
        QTest::newRow("a rate no list has")
            << copy(row).replace("\"modified\"", "\"frameRate\":60,\"modified\"") << false;
    }
    void anythingButAWholeCopyIsRefused() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, read);
        RecoveryState state;
        state.listPath = QStringLiteral("untouched");
        QCOMPARE(ParseRecoveryFile(bytes, &state), read);
        QCOMPARE(state.listPath, read ? QString() : QStringLiteral("untouched"));
    }
};

QTEST_GUILESS_MAIN(TestRecoveryFile)
#include "test_recovery_file.moc"
