#include "cli/report_pdf.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <optional>

#include "app/reports/report_printing.h"

namespace cheque::cli {
namespace {

int argc = 1;
char program_name[] = "cheque-cli";
char* argv[] = {program_name, nullptr};

}  // namespace

bool WriteReportPdf(const ReportTable& table, const ReportSettings& settings,
                    const ReportColumns& columns, const QString& path, QString* error) {
  // The charts are drawn by widgets, which need an application object; on
  // no display at all.
  std::optional<QApplication> application;
  // Qt's own notes (no runtime folder, ...) are no failure of the command,
  // which reports its own.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  if (QCoreApplication::instance() == nullptr) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    application.emplace(argc, argv);
  }
  ReportPrint report = MakeReportPrint(table, settings, columns.widths, columns.captions);
  // Written beside the target first: a failure leaves the old file alone.
  const QString part = path + QStringLiteral(".part");
  bool written = false;
  {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(part);
    printer.setPageSize(ReportPaper());
    printer.setDocName(settings.title);
    printer.setResolution(kPageResolution);
    FitReportPrint(report, printer);
    printer.setPageOrientation(ReportOrientation(report));
    QPainter painter;
    if (painter.begin(&printer)) {
      written = PrintReportPages(printer, painter, report, 1, PageCount(report.source));
      written = painter.end() && written && printer.printerState() != QPrinter::Error;
    }
  }
  if (written && QFileInfo(part).size() > 0) {
    QFile::remove(path);
    if (QFile::rename(part, path)) return true;
  }
  QFile::remove(part);
  *error = QStringLiteral("cannot write the PDF file ") + path;
  return false;
}

}  // namespace cheque::cli
