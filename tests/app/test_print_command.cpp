// File → 印刷 through the dialog, answered by the print dialog hook with a PDF file.
#include "app/tarnwick_dlg.h"
#include "list_rows.h"
#include "modal_answer.h"
#include "pdf_reader.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "poll_timer.h"
#include "print/print_dialog.h"
#include "work_folder.h"

#include <QAbstractEventDispatcher>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {
void FillRow(CTarnwickDlg& dlg, int row, const QString& remark) {
    LayRow(dlg.GetSession().List(), row, QStringLiteral("%1").arg(row, 4, 10, QLatin1Char('0')),
           QStringLiteral("00:59:50:00"), QStringLiteral("01:00:20:00"), remark);
    LayCell(dlg.GetSession().List(), row, COL_DURATION, QStringLiteral("00:00:30:00"));
}

} // namespace

class TestPrintCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void printsTheListOnce_data();
    void printsTheListOnce();
    void setupDialogChoosesPrinterPaperAndOrientation_data();
    void setupDialogChoosesPrinterPaperAndOrientation();

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
        timersDuringDialog = RunningTimerIntervals(&dlg.GetSession().Poll());
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
    QCOMPARE(RunningTimerIntervals(&dlg.GetSession().Poll()), QList<int>({POLL_INTERVAL_MS}));
    QCOMPARE(dlg.GetSession().Poll().Timer(), POLL_TIMER_ID);
    QCOMPARE(shown, messages);
    QCOMPARE(PdfPageCount(path), pages);
    if (pages > 0) {
        const QStringList text = PdfTextPages(path);
        QCOMPARE(text.size(), 1);
        const QString heading = // a list without a file: no name
            QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd")) + " 1 / 1 ページ";
        QCOMPARE(SimplifiedLines(text.at(0)),
                 QStringList({heading, QStringLiteral("No SPNo IN OUT DUR REMARK"),
                              QStringLiteral("0001 0001 00:59:50:00/01:00:20:00/30:00 ＣＭ１本編"),
                              QStringLiteral("0003 0003 00:59:50:00/01:00:20:00/30:00")}));
    }
}

// Through the real dialog, answered as the operator would: a PDF file, a paper size and an
// orientation. The page comes out in that size, with the text 15 mm from the paper's edges.
void TestPrintCommand::setupDialogChoosesPrinterPaperAndOrientation_data() {
    QTest::addColumn<int>("paper");
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<QString>("file"); // empty: the name the dialog proposes
    QTest::addColumn<QSizeF>("points");
    QTest::newRow("A4 portrait, proposed name")
        << int(QPageSize::A4) << false << QString() << QSizeF(595.28, 841.89);
    QTest::newRow("A5 landscape, a bare name")
        << int(QPageSize::A5) << true << "a5.pdf" << QSizeF(595.28, 419.53);
}

void TestPrintCommand::setupDialogChoosesPrinterPaperAndOrientation() {
    QFETCH(int, paper);
    QFETCH(bool, landscape);
    QFETCH(QString, file);
    QFETCH(QSizeF, points);
    WorkFolder folder;
    ResetFileDialogFolder();
    CTarnwickDlg dlg;
    dlg.show();
    QCoreApplication::sendPostedEvents(&dlg, WM_DEFERRED_INIT);
    FillRow(dlg, 1, QStringLiteral(" CM1"));
    const QString path = folder.dir.filePath(file.isEmpty() ? QStringLiteral("印刷.pdf") : file);

    QStringList labels;
    int spinBoxes = -1;
    AnswerNextModal([&](QDialog* box) {
        labels << box->windowTitle();
        for (const QLabel* l : box->findChildren<QLabel*>())
            labels << l->text();
        for (const QGroupBox* g : box->findChildren<QGroupBox*>())
            labels << g->title();
        for (const QAbstractButton* b : box->findChildren<QAbstractButton*>())
            labels << b->text();
        spinBoxes = int(box->findChildren<QSpinBox*>().size());
        auto* printers = box->findChild<QComboBox*>(QStringLiteral("printer"));
        auto* output = box->findChild<QLineEdit*>(QStringLiteral("outputFile"));
        auto* sizes = box->findChild<QComboBox*>(QStringLiteral("paperSize"));
        auto* turn = box->findChild<QRadioButton*>(landscape ? QStringLiteral("landscape")
                                                             : QStringLiteral("portrait"));
        auto* ok = box->findChild<QPushButton*>(QStringLiteral("ok"));
        if (!printers || !output || !sizes || !turn || !ok) {
            box->reject();
            return;
        }
        printers->setCurrentIndex(printers->findData(QString()));
        if (!file.isEmpty())
            output->setText(file);
        sizes->setCurrentIndex(sizes->findText(QPageSize(QPageSize::PageSizeId(paper)).name()));
        turn->click();
        ok->click();
    });
    dlg.Dispatch(ID_FILE_PRINT, Notify::Command);

    QCOMPARE(spinBoxes, 0); // no copy count to pick: one copy is printed
    // Every label is Japanese; "OK" is what the Japanese system shows too.
    for (const QString& label : labels) {
        const bool japanese =
            std::any_of(label.begin(), label.end(), [](QChar c) { return c.unicode() > 0x7F; });
        QVERIFY2(japanese || label == QStringLiteral("OK"), qPrintable(label));
    }
    QCOMPARE(PdfPageCount(path), 1);
    const QSizeF size = PdfPageSize(path);
    QVERIFY2(qAbs(size.width() - points.width()) < 1 && qAbs(size.height() - points.height()) < 1,
             qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
    const QList<PdfWord> words = PdfWords(path);
    QVERIFY(!words.isEmpty());
    PdfWord title = words.first();
    for (const PdfWord& w : words) // the title's first word: the heading is above it
        title = w.text == QStringLiteral("No") ? w : title;
    QCOMPARE(title.text, QStringLiteral("No"));
    const double margin = 15 * 72 / 25.4;
    QVERIFY2(qAbs(title.xMin - margin) < 1 && qAbs(title.yMin - margin) < 1,
             qPrintable(QStringLiteral("%1, %2").arg(title.xMin).arg(title.yMin)));
}

QTEST_MAIN(TestPrintCommand)
#include "test_print_command.moc"
