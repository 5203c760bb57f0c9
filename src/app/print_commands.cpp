#include "app/tarnwick_dlg.h"

#include "platform/message_box.h"
#include "print/print_dialog.h"
#include "print/print_pages.h"
#include "print/printer_surface.h"

#include <QPrinter>

void CTarnwickDlg::OnFilePrint() {
    // No VTR poll may run while the dialog is up or the pages are drawn.
    PollPause pause(*this);
    PrintList();
}

void CTarnwickDlg::PrintList() {
    QPrinter printer(QPrinter::HighResolution);
    // The spooler's job name; also the file name a PDF printer offers.
    printer.setDocName(QStringLiteral("印刷"));
    if (!TwPrintDialog(this, &printer)) {
        return;
    }
    // The list always prints once, whatever the dialog or the driver had.
    printer.setCopyCount(1);
    if (!printer.isValid()) {
        TwMessageBox(this, QStringLiteral("CreateDC error"));
        return;
    }

    PrinterSurface dc(&printer);
    PrintPages(dc, m_list.Rows());
    // A document that cannot be begun (no printer, an output file that cannot be written)
    // would otherwise vanish without a word while the operator waits for paper.
    if (!dc.EndDoc()) {
        TwMessageBox(this, QStringLiteral("印刷できませんでした"));
    }
}
