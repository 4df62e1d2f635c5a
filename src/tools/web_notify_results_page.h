#pragma once

#include "core/settings.h"
#include "tools/web_notify_menu.h"

#include <QWidget>

#include <memory>

namespace Ui {
class WebNotifyResultsPage;
}
class ResultsModel;
class WebNotifyRun;
class WebNotifySort;

// The "Results" page: every page of the check with its state, the counts in the group's
// caption, and Show Results In Browser, Continue and Stop.
class WebNotifyResultsPage final : public QWidget {
    Q_OBJECT
public:
    WebNotifyResultsPage(const typSettings& settings, WebNotifyRun& run,
                         const WebNotifyCommands& commands, QWidget* parent = nullptr);
    ~WebNotifyResultsPage() override;

    // The order of every check's results: "-" descending, changed pages first.
    void sortByStatus();

    void btnWebNotifyShowResultsClick();
    void btnWebNotifyContinueClick();
    void btnWebNotifyStopClick();

private:
    void updateButtons();
    void checkStarted();
    void checkFinished();

    std::unique_ptr<Ui::WebNotifyResultsPage> ui;
    const typSettings& settings_;
    WebNotifyRun& run_;
    WebNotifyCommands commands_;
    ResultsModel* model_;
    WebNotifySort* sort_;
};
