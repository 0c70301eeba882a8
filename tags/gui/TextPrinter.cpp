#include "tags/gui/TextPrinter.h"

#include "platform/MessageBox.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>

bool PrintPlainText(QWidget* parent, const QString& text, const QFont& font, const QString& title) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    if (!QPrinterInfo::availablePrinterNames().isEmpty()) {
        QPrintDialog dialog(&printer, parent);
        if (dialog.exec() != QDialog::Accepted) return false;
    } else {
        QString file = QFileDialog::getSaveFileName(
            parent, QObject::tr("No printer is installed: print to a PDF file"), QString(),
            QObject::tr("PDF files (*.pdf)"));
        if (file.isEmpty()) return false;
        if (QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".pdf");
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
    }
    QTextDocument doc;
    doc.setDefaultFont(font);
    doc.setPlainText(text);
    doc.print(&printer);
    if (printer.printerState() == QPrinter::Error) {
        TMessageBox::Error(parent, QStringLiteral("Brevix"),
                           QObject::tr("The text could not be printed."));
        return false;
    }
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty() &&
        !QFileInfo::exists(printer.outputFileName())) {
        TMessageBox::Error(parent, QStringLiteral("Brevix"),
                           QObject::tr("The PDF file could not be written:\n") +
                               printer.outputFileName());
        return false;
    }
    return true;
}
