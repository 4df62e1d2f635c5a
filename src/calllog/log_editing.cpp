// The log window's commands that look at, add, change, remove, total and import entries.

#include "calllog/tfrm_log_gui.h"

#include "calllog/call_log_file.h"
#include "calllog/call_log_model.h"
#include "calllog/tfrm_call_log_further_details.h"
#include "calllog/tfrm_import.h"
#include "calllog/tfrm_insert_adjuster.h"
#include "calllog/tfrm_insert_log.h"
#include "core/clock.h"
#include "core/lists.h"
#include "core/prompts.h"
#include "core/records.h"
#include "core/user_name.h"
#include "tariff/tariff_context.h"

#include <cmath>

namespace {
const QString SelectForDetail = QStringLiteral(
    "You must select a Log Entry from the list before further details can be displayed.");
const QString SelectForProperties = QStringLiteral(
    "You must select a Log Entry from the list before the properties can be displayed.");
const QString SelectForRemove =
    QStringLiteral("You must select a Log Entry from the list before it can be removed.");
const QString SelectForCalculate = QStringLiteral(
    "You must select a least one Log Entry from the list before a total can be calculated.");
const QString RemoveQuestion =
    QStringLiteral("Are you sure you want to delete the selected log entries?");
const QString LogChangedWarning =
    QStringLiteral("The call log has changed since this window last read it (another program "
                   "may have written to it), so nothing has been changed. The list now shows "
                   "the log as it is: please choose the entries again.");

// A date-time in whole seconds, as the list shows it.
double wholeSeconds(TDateTime value) {
    return std::floor(std::round(value * 86400000.0) / 1000.0);
}
} // namespace

QString TfrmLogGUI::entryConnectoid() const {
    const ConnectoidFilter filter = currentFilter();
    return filter.everyCall ? UnknownConnectoid : filter.caption();
}

std::optional<QList<typCallLogInformation>>
TfrmLogGUI::unchangedRecords(const std::vector<CallLogRow>& rows) {
    QList<qint64> numbers;
    numbers.reserve(static_cast<qsizetype>(rows.size()));
    for (const CallLogRow& row : rows)
        numbers << static_cast<qint64>(row.Record_Number) - 1;
    const auto read = calllog::readRecords(logPath(), numbers);
    QList<typCallLogInformation> records;
    records.reserve(read.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const auto& record = read[static_cast<qsizetype>(i)];
        if (!record || !model_->table().isRowOf(rows[i], *record)) {
            s_.prompts.warning(LogChangedWarning);
            refresh();
            return std::nullopt;
        }
        records << *record;
    }
    return records;
}

bool TfrmLogGUI::runInsertLog() {
    QStringList connectoids = connectoidFilterItems(s_.connectoidNames);
    connectoids.removeFirst(); // "All"
    const TariffContext tariff{s_.lists.Costings, s_.lists.CostingFurtherDetails, s_.regional,
                               s_.debugLog, s_.settings.No_Charge_Bands};
    TfrmInsertLog dialog(gLogEntry, gLogDialogTitle, connectoids, tariff, s_.regional, this);
    dialog.exec();
    return gLogEntry.Mode != -1;
}

bool TfrmLogGUI::runInsertAdjuster() {
    TfrmInsertAdjuster dialog(gLogEntry, gLogDialogTitle, s_.regional, this);
    dialog.exec();
    return gLogEntry.Mode != -1;
}

void TfrmLogGUI::mnuDetailClick() {
    const std::vector<CallLogRow> rows = selectedRows(SelectForDetail);
    if (rows.empty())
        return;
    TfrmCallLogFurtherDetails dialog(model_->table(), rows.front(), model_->texts(), this);
    dialog.exec();
}

void TfrmLogGUI::mnuInsertClick() {
    gLogDialogTitle = QStringLiteral("Insert Log Entry");
    const TDateTime now = s_.clock.now();
    gLogEntry = {now, now, 0, 0, 0, 0, 0, entryConnectoid(), GetUserNameText(), 0};
    if (!runInsertLog())
        return;
    gLogEntry.Mode = ModeInsert;
    AppendLogEntry(logPath(), gLogEntry);
    refresh();
}

void TfrmLogGUI::mnuPropertiesClick() {
    const std::vector<CallLogRow> rows = selectedRows(SelectForProperties);
    if (rows.empty())
        return;
    const std::vector<CallLogRow> row = {rows.front()};
    const auto before = unchangedRecords(row);
    if (!before)
        return;
    gLogDialogTitle = QStringLiteral("Properties");
    gLogEntry = before->front();
    const bool adjustment = gLogEntry.Mode == ModeAdjust;
    if (!(adjustment ? runInsertAdjuster() : runInsertLog()))
        return;
    gLogEntry.Mode = adjustment ? ModeAdjust : ModeEdit;
    // The file may have changed while the dialog was open.
    if (!unchangedRecords(row))
        return;
    calllog::writeRecord(logPath(), row.front().Record_Number - 1, gLogEntry);
    refresh();
}

void TfrmLogGUI::mnuRemoveClick() {
    const std::vector<CallLogRow> rows = selectedRows(SelectForRemove);
    if (rows.empty())
        return;
    if (!s_.prompts.askYesNo(RemoveQuestion) || !unchangedRecords(rows))
        return;
    QList<qint64> numbers;
    for (const CallLogRow& row : rows)
        numbers << static_cast<qint64>(row.Record_Number) - 1;
    calllog::removeRecords(numbers, logPath());
    refresh();
}

void TfrmLogGUI::mnuAdjusterClick() {
    gLogDialogTitle = QStringLiteral("Insert Adjuster");
    const TDateTime now = s_.clock.now();
    gLogEntry = {now, now, 0, 0, 0, 0, 0, QString(), GetUserNameText(), 0};
    if (!runInsertAdjuster())
        return;
    gLogEntry.Mode = ModeAdjust;
    gLogEntry.Connectoid_Name = entryConnectoid();
    AppendLogEntry(logPath(), gLogEntry);
    refresh();
}

void TfrmLogGUI::mnuCalculateClick() {
    const std::vector<CallLogRow> rows = selectedRows(SelectForCalculate);
    if (rows.empty())
        return;
    double seconds = 0;
    double costExc = 0;
    double costInc = 0;
    quint64 data = 0;
    for (const CallLogRow& row : rows) {
        if (!std::isnan(row.Start) && !std::isnan(row.Finish))
            seconds += wholeSeconds(row.Finish) - wholeSeconds(row.Start);
        costExc += row.Cost_Exc;
        costInc += row.Cost_Inc;
        data += row.Data;
    }
    const CallLogTexts& texts = model_->texts();
    const QString br = QStringLiteral("\n\r");
    s_.prompts.information(QStringLiteral("Total Time : ") + texts.duration(seconds / 86400) + br +
                           QStringLiteral("Total Cost (exc) : ") + texts.detailMoney(costExc) + br +
                           QStringLiteral("Total Cost (inc) : ") + texts.detailMoney(costInc) + br +
                           QStringLiteral("Total Data : ") + texts.dataSize(data));
}

void TfrmLogGUI::mnuImportClick() {
    TfrmImport dialog(logsFolder(), GetUserNameText(), s_.prompts, s_.help, this);
    dialog.exec();
    refresh();
}
