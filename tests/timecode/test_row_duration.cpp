#include "app/tarnwick_dlg.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// CalcDuration and ApplyFrameCheck on the dialog's own grid: which cells they read and
// write, and how the settings steer them.
class TestRowDuration : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void calcDuration_data();
    void calcDuration();
    void frameCheck_data();
    void frameCheck();

private:
    // The dialog reads and writes default.ini in the working directory: keep it in a
    // directory of its own.
    QTemporaryDir m_dir;
    QString m_oldDir;
    std::unique_ptr<CTarnwickDlg> m_dlg;
};

void TestRowDuration::initTestCase() {
    QVERIFY(m_dir.isValid());
    m_oldDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir.path()));
    // COM1 points nowhere, so the window never opens a real serial device.
    QFile ini(m_dir.filePath(QStringLiteral("default.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Ports]\nCOM1=/nonexistent/tarnwick-test-tty\n");
    ini.close();
    m_dlg = std::make_unique<CTarnwickDlg>();
}

void TestRowDuration::cleanupTestCase() {
    m_dlg.reset();
    QDir::setCurrent(m_oldDir);
}

void TestRowDuration::calcDuration_data() {
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::addColumn<int>("drop");
    QTest::addColumn<int>("write");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("duration");

    const QString stale = QStringLiteral("stale");
    QTest::newRow("writes OUT minus IN") << "00:00:10:00"
                                         << "00:00:12:15" << 0 << 1 << 75 << "00:00:02:15";
    QTest::newRow("OUT before IN writes the negative form")
        << "00:00:12:15"
        << "00:00:10:00" << 0 << 1 << -75 << "-00:00:02:15";
    QTest::newRow("Drop 1 counts drop-frame") << "00:00:59:28"
                                              << "00:01:00:02" << 1 << 1 << 2 << "00:00:00:02";
    QTest::newRow("Drop 0 counts non-drop") << "00:00:59:28"
                                            << "00:01:00:02" << 0 << 1 << 4 << "00:00:00:04";
    QTest::newRow("Drop other than 1 counts non-drop")
        << "00:00:59:28"
        << "00:01:00:02" << 2 << 1 << 4 << "00:00:00:04";
    QTest::newRow("write 0 only returns") << "00:00:10:00"
                                          << "00:00:12:15" << 0 << 0 << 75 << stale;
    QTest::newRow("unreadable OUT empties DURATION") << "00:00:10:00"
                                                     << "00:00:12" << 0 << 1 << 0 << "";
    QTest::newRow("unreadable IN with write 0 leaves DURATION")
        << "--:--:--:--"
        << "00:00:12:15" << 0 << 0 << 0 << stale;
    QTest::newRow("huge number in IN empties DURATION") << "99999999999:00:00:00"
                                                        << "00:00:12:15" << 0 << 1 << 0 << "";
}

void TestRowDuration::calcDuration() {
    QFETCH(QString, in);
    QFETCH(QString, out);
    QFETCH(int, drop);
    QFETCH(int, write);
    QFETCH(int, result);
    QFETCH(QString, duration);
    const int row = 3;
    CMSFlexGrid& grid = m_dlg->m_grid;
    grid.SetTextMatrix(row, COL_IN, in);
    grid.SetTextMatrix(row, COL_OUT, out);
    grid.SetTextMatrix(row, COL_DURATION, QStringLiteral("stale"));
    m_dlg->m_settings.Drop = drop;

    QCOMPARE(m_dlg->CalcDuration(row, write), result);
    QCOMPARE(grid.GetTextMatrix(row, COL_DURATION), duration);
    QCOMPARE(grid.GetTextMatrix(row, COL_IN), in);
    QCOMPARE(grid.GetTextMatrix(row, COL_OUT), out);
}

void TestRowDuration::frameCheck_data() {
    QTest::addColumn<QString>("prevOut");
    QTest::addColumn<QString>("in");
    QTest::addColumn<int>("gap");
    QTest::addColumn<int>("drop");
    QTest::addColumn<int>("flag");
    QTest::addColumn<QString>("expected");

    QTest::newRow("narrow gap moves the previous OUT")
        << "00:00:20:10"
        << "00:00:20:12" << 3 << 0 << 1 << "00:00:20:09";
    QTest::newRow("wide gap leaves it") << "00:00:20:10"
                                        << "00:00:20:13" << 3 << 0 << 1 << "00:00:20:10";
    QTest::newRow("Drop 1, gap 4, across the dropped labels")
        << "00:01:00:02"
        << "00:01:00:03" << 4 << 1 << 1 << "00:00:59:27";
    QTest::newRow("Drop 0, gap 4, over the same labels")
        << "00:01:00:02"
        << "00:01:00:03" << 4 << 0 << 1 << "00:00:59:29";
    QTest::newRow("flag other than 1 does nothing")
        << "00:00:20:10"
        << "00:00:20:12" << 3 << 0 << 0 << "00:00:20:10";
    QTest::newRow("never before 00:00:00:00") << "00:00:00:05"
                                              << "00:00:00:02" << 4 << 0 << 1 << "00:00:00:00";
    QTest::newRow("unreadable IN leaves the previous OUT")
        << "00:00:20:10"
        << "00:00:20" << 3 << 0 << 1 << "00:00:20:10";
    QTest::newRow("unreadable previous OUT stays as typed")
        << "00:20:10"
        << "00:00:20:12" << 3 << 0 << 1 << "00:20:10";
}

void TestRowDuration::frameCheck() {
    QFETCH(QString, prevOut);
    QFETCH(QString, in);
    QFETCH(int, gap);
    QFETCH(int, drop);
    QFETCH(int, flag);
    QFETCH(QString, expected);
    const int row = 5;
    CMSFlexGrid& grid = m_dlg->m_grid;
    grid.SetTextMatrix(row - 1, COL_IN, QStringLiteral("00:00:00:00"));
    grid.SetTextMatrix(row - 1, COL_OUT, prevOut);
    grid.SetTextMatrix(row - 1, COL_DURATION, QStringLiteral("old"));
    grid.SetTextMatrix(row, COL_IN, in);
    m_dlg->m_settings.FrameCheck = gap;
    m_dlg->m_settings.Drop = drop;

    m_dlg->ApplyFrameCheck(row, flag);
    QCOMPARE(grid.GetTextMatrix(row - 1, COL_OUT), expected);
    // The caller recomputes the previous duration; the frame check itself leaves it.
    QCOMPARE(grid.GetTextMatrix(row - 1, COL_DURATION), QStringLiteral("old"));
    QCOMPARE(grid.GetTextMatrix(row, COL_IN), in);
}

QTEST_MAIN(TestRowDuration)
#include "test_row_duration.moc"
