#pragma once

#include "calllog/call_log_record.h"
#include "calllog/call_log_sort.h"
#include "calllog/call_log_statistics.h"
#include "widgets/window_services.h"

#include <QDialog>
#include <QList>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace Ui {
class TfrmLogGUI;
}
class CallLogModel;
class QMenu;
class QTreeWidget;
class SectionPages;
struct PrintReport;

// The "Logs" window: the calls of the call log with their statistics and projections, the
// other statistics of the whole log, exports, printed reports and the editing of entries.
// The figures and texts come from the call log pieces; the window shows them.
class TfrmLogGUI : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLogGUI(const WindowServices& services);
    ~TfrmLogGUI() override;

    // The entry that the window and its entry dialogs exchange, with the dialog's caption.
    // A dialog closed with OK leaves Mode 0, one cancelled leaves -1.
    typCallLogInformation gLogEntry;
    QString gLogDialogTitle;

    void listvSectionsSelectItem();
    void btnLogRefreshClick();
    void btnOtherStatisticsRefreshClick();
    void cboConnectoidClick(int index);
    void cboConnectoidMainChange();
    void lstvLogColumnClick(int column);
    void btnLogResetClick();
    void cmdOKClick();
    void cmdHelpClick();

    // Exports and printed reports (log_reports.cpp).
    void mnuExportDetailClick();
    void mnuExportStatisticsClick();
    void mnuExportUsageClick();
    void mnuPrintUsageClick();
    void mnuPrintStatisticsClick();
    void mnuPrintDetailClick();

    // Editing (log_editing.cpp).
    void mnuDetailClick();
    void mnuInsertClick();
    void mnuPropertiesClick();
    void mnuRemoveClick();
    void mnuAdjusterClick();
    void mnuCalculateClick();
    void mnuImportClick();

protected:
    void showEvent(QShowEvent* event) override;
    // Every way of closing ends here.
    void done(int result) override;
    // lstvLogKeyUp.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void buildDetailList();
    void buildPopup();
    void fillFilters();
    ConnectoidFilter currentFilter() const;
    void setPageCaptions(const QString& filter);
    void refresh();
    void LoadCallLog(const ConnectoidFilter& filter);
    void sizeDetailColumns();
    void showSort();

    QString logsFolder() const;
    QString logPath() const;
    // The selected rows of the detail list, in the list's order; none with the warning.
    std::vector<CallLogRow> selectedRows(const QString& warningWhenNone);

    // Export and print helpers (log_reports.cpp).
    std::optional<QString> chooseExportFile(const QString& fileName);
    // A projections or usage export of the rows the window shows.
    void exportShownRows(const QString& fileName, const QByteArray& bytes);
    void printReport(const QString& question, const std::function<bool(PrintReport&)>& make);

    // Editing helpers (log_editing.cpp).
    // The connectoid a hand-made entry goes under: the filter's, "Unknown/Other" for all.
    QString entryConnectoid() const;
    // The file's records behind the rows, when each is still the one its row was made
    // from; otherwise a warning, a refresh and nothing.
    std::optional<QList<typCallLogInformation>>
    unchangedRecords(const std::vector<CallLogRow>& rows);
    bool runInsertLog();
    bool runInsertAdjuster();

    WindowServices s_;
    std::unique_ptr<Ui::TfrmLogGUI> ui;
    CallLogModel* model_ = nullptr;
    SectionPages* sections_ = nullptr;
    QMenu* popupDetail = nullptr;
    QStringList filterItems_;
    LogSortState sort_;
    // What the statistics lists show: the exports and prints take these.
    QList<QStringList> statisticsRows_;
    QList<QStringList> headingRows_;
    bool shown_ = false;
    bool columnsSized_ = false;
};
