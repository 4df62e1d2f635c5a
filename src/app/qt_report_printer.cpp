#include "app/qt_report_printer.h"

#include "platform/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QSaveFile>

#include <cmath>

namespace {

const QMarginsF Margins(0.25, 0.25, 0.25, 0.25);

// The report's font at its size; the system's fixed font when the named one is missing or
// replaced by a proportional one.
QFont reportFont(const PrintReport& report, QPaintDevice* device) {
    QFont font(report.fontFamily, report.pointSize);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSize(report.pointSize);
    }
    // Point sizes mean the device's points, not the screen's.
    return QFont(font, device);
}

} // namespace

bool paintReport(const PrintReport& report, QPagedPaintDevice& device, QString* error) {
    QPainter painter;
    if (!painter.begin(&device)) {
        *error = QStringLiteral("The printer could not be started.");
        return false;
    }
    const QFont font = reportFont(report, &device);
    painter.setFont(font);
    const QFontMetricsF metrics(font, &device);
    const qreal lineHeight = metrics.lineSpacing();
    const qreal pageHeight = painter.viewport().height();
    const int perPage = qMax(1, static_cast<int>(std::floor(pageHeight / lineHeight)));
    const int pages = qMax(1, static_cast<int>((report.lines.size() + perPage - 1) / perPage));

    QProgressDialog progress(QStringLiteral("Printing %1...").arg(report.title),
                             QStringLiteral("&Cancel"), 0, pages, QApplication::activeWindow());
    progress.setObjectName(QStringLiteral("printProgress"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(500);
    for (int page = 0; page < pages; ++page) {
        progress.setValue(page);
        // The connection checker and the other timers run between pages.
        QCoreApplication::processEvents();
        if (progress.wasCanceled()) {
            painter.end();
            return false;
        }
        if (page > 0)
            device.newPage();
        const qsizetype first = static_cast<qsizetype>(page) * perPage;
        const qsizetype last = qMin<qsizetype>(report.lines.size(), first + perPage);
        for (qsizetype i = first; i < last; ++i)
            painter.drawText(QPointF(0, metrics.ascent() + lineHeight * (i - first)),
                             report.lines[i]);
    }
    progress.setValue(pages);
    painter.end();
    return true;
}

QtReportPrinter::QtReportPrinter(Dialogs& dialogs)
    : hasPrinters([] { return !QPrinterInfo::availablePrinterNames().isEmpty(); }),
      dialogs_(dialogs) {}

ReportPrinter::Result QtReportPrinter::print(const PrintReport& report) {
    return hasPrinters() ? printOnPrinter(report) : printToPdf(report);
}

ReportPrinter::Result QtReportPrinter::printToPdf(const PrintReport& report) {
    const auto path = dialogs_.saveFile(
        {QStringLiteral("Save %1 as PDF").arg(report.title), QStringLiteral("PDF Files (*.pdf)"),
         QStringLiteral("pdf"), Dialogs::desktopFolder(), report.title + QStringLiteral(".pdf")});
    if (!path)
        return {Outcome::Cancelled, {}};
    if (report.refuseFile) {
        if (const QString refusal = report.refuseFile(*path); !refusal.isEmpty())
            return {Outcome::Failed, refusal};
    }
    // Written aside and renamed into place: a failure leaves an existing file as it was.
    QSaveFile file(*path);
    const auto failed = [&] {
        return Result{Outcome::Failed,
                      QStringLiteral("The file %1 could not be written: %2")
                          .arg(QDir::toNativeSeparators(*path), file.errorString())};
    };
    if (!file.open(QIODevice::WriteOnly))
        return failed();
    {
        QPdfWriter writer(&file);
        writer.setTitle(report.title);
        writer.setCreator(QApplication::applicationName());
        writer.setPageMargins(Margins, QPageLayout::Inch);
        QString error;
        if (!paintReport(report, writer, &error)) {
            file.cancelWriting();
            return error.isEmpty() ? Result{Outcome::Cancelled, {}}
                                   : Result{Outcome::Failed, error};
        }
    }
    if (!file.commit())
        return failed();
    return {Outcome::Printed, {}};
}

ReportPrinter::Result QtReportPrinter::printOnPrinter(const PrintReport& report) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(report.title);
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return {Outcome::Cancelled, {}};
    if (report.refuseFile && printer.outputFormat() == QPrinter::PdfFormat) {
        if (const QString refusal = report.refuseFile(printer.outputFileName()); !refusal.isEmpty())
            return {Outcome::Failed, refusal};
    }
    printer.setPageMargins(Margins, QPageLayout::Inch);
    QString error;
    if (!paintReport(report, printer, &error)) {
        printer.abort();
        return error.isEmpty() ? Result{Outcome::Cancelled, {}} : Result{Outcome::Failed, error};
    }
    return {Outcome::Printed, {}};
}
