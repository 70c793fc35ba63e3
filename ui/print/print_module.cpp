// The entry point of the print module (ui/print/print_module.h): the one place
// that makes a printer and opens Qt's print dialog.

#include "ui/print/print_module.h"

#include <QDialog>
#include <QPrintDialog>
#include <QPrinter>

extern "C" Q_DECL_EXPORT print_module::Outcome chronara_print_job(const print_module::Job& job) {
    using print_module::Outcome;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(print_module::DocumentName(job.documentName));
    bool accepted = false;
    if (job.runDialog) {
        accepted = job.runDialog(printer, job.parent);
    } else {
        QPrintDialog dialog(&printer, job.parent);
        accepted = dialog.exec() == QDialog::Accepted;
    }
    if (!accepted || (job.mayPrint && !job.mayPrint(printer.outputFileName()))) return Outcome::NotPrinted;
    const bool printed = job.record != nullptr    ? print_documents::PrintRecord(printer, *job.record)
                         : job.results != nullptr ? print_documents::PrintResults(printer, *job.results)
                                                  : false;
    return printed ? Outcome::Printed : Outcome::Failed;
}
