#pragma once

#include "platform/report_printer.h"

#include <functional>

class Dialogs;
class QPagedPaintDevice;

// Reports on paper through the print dialog when a printer is installed (it offers PDF
// too), else into a PDF file chosen through Dialogs. A progress box shows the pages and can
// cancel; between pages the program's timers keep running.
class QtReportPrinter final : public ReportPrinter {
public:
    explicit QtReportPrinter(Dialogs& dialogs);
    Result print(const PrintReport& report) override;

    // Whether printers are installed; the desktop's answer unless a test says otherwise.
    std::function<bool()> hasPrinters;

private:
    Result printToPdf(const PrintReport& report);
    Result printOnPrinter(const PrintReport& report);

    Dialogs& dialogs_;
};

// Lays the lines out on the device's pages; false when the user cancelled. Page breaks
// follow the font's line spacing; the device's margins are set by the caller.
bool paintReport(const PrintReport& report, QPagedPaintDevice& device, QString* error);
