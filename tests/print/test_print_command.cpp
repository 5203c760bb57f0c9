// File → 印刷 through the dialog, answered by the print dialog hook with a PDF file.
#include "dialog_probe.h"
#include "pdf_reader.h"
#include "platform/message_box.h"
#include "poll_timer.h"
#include "print/print_dialog.h"
#include "work_folder.h"

#include <QAbstractEventDispatcher>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

namespace {
void FillRow(CTarnwickDlg& dlg, int row, const QString& remark) {
    Probe(dlg).m_grid.SetTextMatrix(row, COL_SPNO,
                                    QStringLiteral("%1").arg(row, 4, 10, QLatin1Char('0')));
    Probe(dlg).m_grid.SetTextMatrix(row, COL_IN, QStringLiteral("00:59:50:00"));
    Probe(dlg).m_grid.SetTextMatrix(row, COL_OUT, QStringLiteral("01:00:20:00"));
    Probe(dlg).m_grid.SetTextMatrix(row, COL_DURATION, QStringLiteral("00:00:30:00"));
    Probe(dlg).m_grid.SetTextMatrix(row, COL_REMARK, remark);
}

} // namespace

class TestPrintCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void printsTheListOnce_data();
    void printsTheListOnce();

private:
    QStringList m_messages;
};

void TestPrintCommand::initTestCase() {
    if (!PdfToolsInstalled()) {
        QSKIP("pdfinfo and pdftotext (poppler-utils) are needed to read the PDF back");
    }
}

void TestPrintCommand::cleanup() {
    SetPrintDialogHook(nullptr);
    SetMessageBoxHook(nullptr);
}

void TestPrintCommand::printsTheListOnce_data() {
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("printed to a PDF file") << true << "list.pdf" << 1 << QStringList();
    QTest::newRow("cancelled dialog prints nothing") << false << "list.pdf" << -1 << QStringList();
    QTest::newRow("document that cannot be begun is reported")
        << true << "missing/list.pdf" << -1
        << QStringList({QStringLiteral("印刷できませんでした")});
}

void TestPrintCommand::printsTheListOnce() {
    QFETCH(bool, accept);
    QFETCH(QString, file);
    QFETCH(int, pages);
    QFETCH(QStringList, messages);

    WorkFolder folder;
    CTarnwickDlg dlg;
    dlg.show();
    // The deferred start-up step numbers the rows.
    QCoreApplication::sendPostedEvents(&dlg, WM_DEFERRED_INIT);
    FillRow(dlg, 1, QStringLiteral(" ＣＭ１本編"));
    FillRow(dlg, 3, QString());
    const QString path = folder.dir.filePath(file);

    QStringList shown;
    SetMessageBoxHook([&](const MessageBoxRequest& box) {
        shown << box.text;
        return BoxAnswer::Ok;
    });
    int dialogs = 0;
    QList<int> timersDuringDialog = {-1};
    QString docName;
    SetPrintDialogHook([&](QPrinter* printer) {
        ++dialogs;
        timersDuringDialog = RunningTimerIntervals(&dlg);
        docName = printer->docName();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path);
        printer->setCopyCount(3);
        return accept;
    });
    if (!messages.isEmpty()) {
        QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    }

    dlg.Dispatch(ID_FILE_PRINT, Notify::Command);

    QCOMPARE(dialogs, 1);
    QCOMPARE(docName, QStringLiteral("印刷"));
    QCOMPARE(timersDuringDialog, QList<int>());
    QCOMPARE(RunningTimerIntervals(&dlg), QList<int>({POLL_INTERVAL_MS}));
    QCOMPARE(Probe(dlg).m_nPollTimer, POLL_TIMER_ID);
    QCOMPARE(shown, messages);
    QCOMPARE(PdfPageCount(path), pages);
    if (pages > 0) {
        const QStringList text = PdfTextPages(path);
        QCOMPARE(text.size(), 1);
        QCOMPARE(SimplifiedLines(text.at(0)),
                 QStringList({QStringLiteral("No SPNo IN OUT DUR REMARK"),
                              QStringLiteral("0001 0001 00:59:50:00/01:00:20:00/30:00 ＣＭ１本編"),
                              QStringLiteral("0003 0003 00:59:50:00/01:00:20:00/30:00")}));
    }
}

QTEST_MAIN(TestPrintCommand)
#include "test_print_command.moc"
