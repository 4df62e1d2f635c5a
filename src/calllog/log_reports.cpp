// The log window's exports and printed reports.

#include "calllog/tfrm_log_gui.h"

#include "calllog/call_log_export.h"
#include "calllog/call_log_file.h"
#include "calllog/call_log_model.h"
#include "calllog/call_log_print.h"
#include "calllog/connectoid_list.h"
#include "core/prompts.h"
#include "platform/dialogs.h"
#include "platform/report_printer.h"
#include "widgets/window_frame.h"

namespace {
const QString ExportFilter = QStringLiteral("Text Files (*.txt)");
const QString ExportSuffix = QStringLiteral("txt");
const QString ExportTitle = QStringLiteral("Export");
const QString PrintUsageQuestion =
    QStringLiteral("Are you sure you want to print the usage report?");
const QString PrintStatisticsQuestion =
    QStringLiteral("Are you sure you want to print the statistics report?");
const QString PrintDetailQuestion =
    QStringLiteral("Are you sure you want to print the detail report?");
} // namespace

std::optional<QString> TfrmLogGUI::chooseExportFile(const QString& fileName) {
    return s_.dialogs.saveFile(
        {ExportTitle, ExportFilter, ExportSuffix, Dialogs::desktopFolder(), fileName});
}

void TfrmLogGUI::mnuExportDetailClick() {
    const auto target = chooseExportFile(logexport::DetailFileName);
    if (!target)
        return;
    ExportResult result;
    {
        Hourglass wait;
        const CallLogTexts texts(s_.regional, s_.settings);
        result = exportDetail(logsFolder(), *target, currentFilter(),
                              ConnectoidGrouping(s_.connectoidNames), texts);
    }
    // Without a call log there is nothing to export, and nothing to say.
    if (!result.ok() && result.status != ExportResult::NoCallLog)
        s_.prompts.error(result.message);
}

void TfrmLogGUI::exportShownRows(const QString& fileName, const QByteArray& bytes) {
    const auto target = chooseExportFile(fileName);
    if (!target)
        return;
    const ExportResult result = writeExportFile(*target, bytes, logsFolder());
    if (!result.ok())
        s_.prompts.error(result.message);
}

void TfrmLogGUI::mnuExportStatisticsClick() {
    exportShownRows(logexport::ProjectionsFileName, logexport::projectionsBytes(headingRows_));
}

void TfrmLogGUI::mnuExportUsageClick() {
    exportShownRows(logexport::UsageFileName, logexport::usageBytes(statisticsRows_));
}

void TfrmLogGUI::printReport(const QString& question,
                             const std::function<bool(PrintReport&)>& make) {
    if (!s_.prompts.askYesNo(question))
        return;
    PrintReport report;
    {
        Hourglass wait;
        if (!make(report))
            return;
    }
    const QString logs = logsFolder();
    report.refuseFile = [logs](const QString& path) { return protectedTargetRefusal(path, logs); };
    const ReportPrinter::Result result = s_.printer.print(report);
    if (result.outcome == ReportPrinter::Outcome::Failed)
        s_.prompts.error(result.error);
}

namespace {
void take(PrintReport& into, logprint::Report&& report) {
    into.title = report.title;
    into.pointSize = report.pointSize;
    into.lines = std::move(report.lines);
}
} // namespace

void TfrmLogGUI::mnuPrintUsageClick() {
    printReport(PrintUsageQuestion, [this](PrintReport& report) {
        take(report, logprint::usageReport(statisticsRows_));
        return true;
    });
}

void TfrmLogGUI::mnuPrintStatisticsClick() {
    printReport(PrintStatisticsQuestion, [this](PrintReport& report) {
        take(report, logprint::statisticsReport(headingRows_));
        return true;
    });
}

void TfrmLogGUI::mnuPrintDetailClick() {
    printReport(PrintDetailQuestion, [this](PrintReport& report) {
        if (!calllog::logExists(logPath()))
            return false;
        take(report, logprint::detailReport(model_->table(), model_->order(), model_->texts()));
        return true;
    });
}
