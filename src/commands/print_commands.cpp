#include "commands/print_commands.h"

#include "commands/grid_file.h"
#include "commands/polling.h"
#include "commands/screen.h"
#include "list/spot_list.h"
#include "platform/message_box.h"
#include "print/print_dialog.h"
#include "print/print_document_name.h"
#include "print/print_pages.h"
#include "print/printer_surface.h"

#include <QCoreApplication>
#include <QDate>
#include <QFileInfo>
#include <QPrinter>

PrintCommands::PrintCommands(const SpotList& list, const CGridFile& listFile, Screen& screen,
                             Polling& polling)
    : m_list(list), m_listFile(listFile), m_screen(screen), m_polling(polling) {}

void PrintCommands::OnFilePrint() {
    // No VTR poll may run while the dialog is up or the pages are drawn.
    Polling::Pause pause(m_polling);
    PrintList();
}

void PrintCommands::PrintList() {
    QPrinter printer(QPrinter::HighResolution);
    // The spooler's job name; also the file name a PDF printer offers.
    printer.setDocName(PrintDocumentName(m_listFile.GetPath()));
    if (!TwPrintDialog(m_screen.Owner(), &printer)) {
        return;
    }
    // The list always prints once, whatever the dialog or the driver had.
    printer.setCopyCount(1);
    if (!printer.isValid()) {
        TwMessageBox(m_screen.Owner(), QStringLiteral("CreateDC error"));
        return;
    }

    PrinterSurface dc(&printer);
    PrintPages(dc, m_list.Rows(), QFileInfo(m_listFile.GetPath()).fileName(), QDate::currentDate());
    // A document that cannot be begun (no printer, an output file that cannot be written)
    // would otherwise vanish without a word while the operator waits for paper.
    if (!dc.EndDoc()) {
        TwMessageBox(m_screen.Owner(),
                     QCoreApplication::translate("PrintCommands", "印刷できませんでした"));
    }
}
