#include "print/print_dialog.h"

#include "platform/file_dialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
PrintDialogHook g_hook;

// Paper offered for a PDF file, which has no list of its own: the sizes a Japanese office
// prints on.
const QPageSize::PageSizeId kPdfSizes[] = {
    QPageSize::A3,    QPageSize::A4,     QPageSize::A5,    QPageSize::JisB4,
    QPageSize::JisB5, QPageSize::Letter, QPageSize::Legal, QPageSize::Postcard,
};

// The print setup dialog: printer, paper size and orientation, the only settings the print
// applies. Copies, page ranges and page order are not offered: the whole list always prints
// once, in order.
class PrintSetupDialog : public QDialog {
public:
    PrintSetupDialog(QWidget* owner, QPrinter* printer) : QDialog(owner), m_printer(printer) {
        setWindowTitle(QCoreApplication::translate("PrintDialog", "プリンタの設定"));

        auto* printerBox =
            new QGroupBox(QCoreApplication::translate("PrintDialog", "プリンタ"), this);
        m_printers = new QComboBox(printerBox);
        m_printers->setObjectName(QStringLiteral("printer"));
        for (const QString& name : QPrinterInfo::availablePrinterNames()) {
            m_printers->addItem(name, name);
        }
        // A PDF file stands where no printer is installed, and beside the printers.
        m_printers->addItem(QCoreApplication::translate("PrintDialog", "PDF ファイル"), QString());
        m_file = new QLineEdit(printerBox);
        m_file->setObjectName(QStringLiteral("outputFile"));
        m_file->setMinimumWidth(m_file->fontMetrics().averageCharWidth() * 40);
        auto* browse =
            new QPushButton(QCoreApplication::translate("PrintDialog", "参照(&B)..."), printerBox);
        auto* printerName =
            new QLabel(QCoreApplication::translate("PrintDialog", "プリンタ名(&N):"), printerBox);
        printerName->setBuddy(m_printers);
        auto* fileName =
            new QLabel(QCoreApplication::translate("PrintDialog", "出力ファイル(&F):"), printerBox);
        fileName->setBuddy(m_file);
        auto* printerGrid = new QGridLayout(printerBox);
        printerGrid->addWidget(printerName, 0, 0);
        printerGrid->addWidget(m_printers, 0, 1, 1, 2);
        printerGrid->addWidget(fileName, 1, 0);
        printerGrid->addWidget(m_file, 1, 1);
        printerGrid->addWidget(browse, 1, 2);
        printerGrid->setColumnStretch(1, 1);

        auto* paperBox = new QGroupBox(QCoreApplication::translate("PrintDialog", "用紙"), this);
        m_sizes = new QComboBox(paperBox);
        m_sizes->setObjectName(QStringLiteral("paperSize"));
        auto* sizeName =
            new QLabel(QCoreApplication::translate("PrintDialog", "サイズ(&Z):"), paperBox);
        sizeName->setBuddy(m_sizes);
        auto* paperRow = new QHBoxLayout(paperBox);
        paperRow->addWidget(sizeName);
        paperRow->addWidget(m_sizes, 1);

        auto* orientationBox =
            new QGroupBox(QCoreApplication::translate("PrintDialog", "印刷の向き"), this);
        m_portrait =
            new QRadioButton(QCoreApplication::translate("PrintDialog", "縦(&O)"), orientationBox);
        m_portrait->setObjectName(QStringLiteral("portrait"));
        m_landscape =
            new QRadioButton(QCoreApplication::translate("PrintDialog", "横(&A)"), orientationBox);
        m_landscape->setObjectName(QStringLiteral("landscape"));
        auto* orientationColumn = new QVBoxLayout(orientationBox);
        orientationColumn->addWidget(m_portrait);
        orientationColumn->addWidget(m_landscape);

        m_ok = new QPushButton(QStringLiteral("OK"), this);
        m_ok->setObjectName(QStringLiteral("ok"));
        m_ok->setDefault(true);
        auto* cancel =
            new QPushButton(QCoreApplication::translate("PrintDialog", "キャンセル"), this);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch(1);
        buttons->addWidget(m_ok);
        buttons->addWidget(cancel);

        auto* paperAndOrientation = new QHBoxLayout;
        paperAndOrientation->addWidget(paperBox, 1);
        paperAndOrientation->addWidget(orientationBox);
        auto* page = new QVBoxLayout(this);
        page->addWidget(printerBox);
        page->addLayout(paperAndOrientation);
        page->addLayout(buttons);

        // What the printer was set to before: the last choice in this run, or the system's.
        const bool pdf = printer->outputFormat() == QPrinter::PdfFormat ||
                         QPrinterInfo::availablePrinterNames().isEmpty();
        const int current =
            pdf ? m_printers->count() - 1 : m_printers->findData(printer->printerName());
        m_printers->setCurrentIndex(current >= 0 ? current : 0);
        m_file->setText(
            printer->outputFileName().isEmpty()
                ? QDir(FileDialogFolder()).filePath(printer->docName() + QStringLiteral(".pdf"))
                : printer->outputFileName());
        const QPageLayout layout = printer->pageLayout();
        (layout.orientation() == QPageLayout::Landscape ? m_landscape : m_portrait)
            ->setChecked(true);
        FillSizes(layout.pageSize());

        connect(m_printers, &QComboBox::currentIndexChanged, this, [this] {
            FillSizes(SelectedSize());
            Update();
        });
        connect(m_file, &QLineEdit::textChanged, this, [this] { Update(); });
        connect(browse, &QPushButton::clicked, this, [this] {
            const QString chosen = TwFileDialog(
                this, FileDialogRequest{true,
                                        QCoreApplication::translate("PrintDialog",
                                                                    "PDF ファイル (*.pdf)|*.pdf||"),
                                        QStringLiteral("pdf")});
            if (!chosen.isEmpty()) {
                m_file->setText(QDir::toNativeSeparators(chosen));
            }
        });
        connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
        m_browse = browse;
        Update();
    }

    // Hands the choice to the printer.
    void Apply() const {
        if (PdfChosen()) {
            m_printer->setOutputFormat(QPrinter::PdfFormat);
            // A bare name, as typed, goes where the file dialogs are.
            m_printer->setOutputFileName(
                QFileInfo(QDir(FileDialogFolder()), m_file->text().trimmed()).absoluteFilePath());
        } else {
            m_printer->setOutputFormat(QPrinter::NativeFormat);
            m_printer->setPrinterName(m_printers->currentData().toString());
        }
        // Orientation before size: a printer works out its printable area for the size in the
        // orientation it has at that moment.
        m_printer->setPageOrientation(m_landscape->isChecked() ? QPageLayout::Landscape
                                                               : QPageLayout::Portrait);
        m_printer->setPageSize(SelectedSize());
    }

private:
    bool PdfChosen() const { return m_printers->currentData().toString().isEmpty(); }

    QPageSize SelectedSize() const {
        const int i = m_sizes->currentIndex();
        return i >= 0 && i < m_sizeList.size() ? m_sizeList.at(i) : QPageSize(QPageSize::A4);
    }

    // The chosen printer's paper, keeping the size chosen before where the printer has it.
    void FillSizes(const QPageSize& keep) {
        m_sizeList.clear();
        if (PdfChosen()) {
            for (QPageSize::PageSizeId id : kPdfSizes) {
                m_sizeList.append(QPageSize(id));
            }
        } else {
            const QPrinterInfo info =
                QPrinterInfo::printerInfo(m_printers->currentData().toString());
            m_sizeList = info.supportedPageSizes();
            if (m_sizeList.isEmpty()) {
                m_sizeList.append(info.defaultPageSize().isValid() ? info.defaultPageSize()
                                                                   : QPageSize(QPageSize::A4));
            }
        }
        m_sizes->clear();
        int selected = -1;
        int a4 = 0;
        for (int i = 0; i < m_sizeList.size(); ++i) {
            m_sizes->addItem(m_sizeList.at(i).name());
            if (keep.isValid() && m_sizeList.at(i).isEquivalentTo(keep)) {
                selected = i;
            }
            if (m_sizeList.at(i).id() == QPageSize::A4) {
                a4 = i;
            }
        }
        m_sizes->setCurrentIndex(selected >= 0 ? selected : a4);
    }

    void Update() {
        const bool pdf = PdfChosen();
        m_file->setEnabled(pdf);
        m_browse->setEnabled(pdf);
        m_ok->setEnabled(!pdf || !m_file->text().trimmed().isEmpty());
    }

    QPrinter* m_printer;
    QComboBox* m_printers = nullptr;
    QLineEdit* m_file = nullptr;
    QPushButton* m_browse = nullptr;
    QComboBox* m_sizes = nullptr;
    QRadioButton* m_portrait = nullptr;
    QRadioButton* m_landscape = nullptr;
    QPushButton* m_ok = nullptr;
    QList<QPageSize> m_sizeList;
};

} // namespace

void SetPrintDialogHook(PrintDialogHook hook) {
    g_hook = std::move(hook);
}

bool TwPrintDialog(QWidget* owner, QPrinter* printer) {
    if (g_hook) {
        return g_hook(printer);
    }
    PrintSetupDialog dialog(owner, printer);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    dialog.Apply();
    return true;
}
