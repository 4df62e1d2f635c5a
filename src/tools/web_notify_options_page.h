#pragma once

#include "core/records.h"
#include "core/settings.h"
#include "tools/option_bindings.h"

#include <QWidget>

#include <memory>

namespace Ui {
class WebNotifyOptionsPage;
}
class Dialogs;
class Prompts;
class QCheckBox;

// The web notify tool's "Options" page: the folder of web shortcuts, how pages are fetched
// and judged changed, the proxy, and the path fragments that exclude shortcuts.
class WebNotifyOptionsPage final : public QWidget {
    Q_OBJECT
public:
    WebNotifyOptionsPage(typSettings& settings, AutoExcludeTable& autoExcludes, Prompts& prompts,
                         Dialogs& dialogs, QWidget* parent = nullptr);
    ~WebNotifyOptionsPage() override;

    void loadSettings();

    void cmdURLFolderLocationClick();
    void cmdAutoExcludeInsertClick();
    void cmdAutoExcludeRemoveClick();
    void cmdAutoExcludeDefaultsClick();

Q_SIGNALS:
    // The favourites list is built again whenever the auto-excludes change.
    void autoExcludesChanged();

private:
    void fillAutoExcludes();
    // "Page Size Changes" and "Last Updated Header Changes" are never both off: the one
    // left on is the way pages are judged.
    void keepOneWayOfJudging(bool on, QCheckBox* other);

    std::unique_ptr<Ui::WebNotifyOptionsPage> ui;
    typSettings& settings_;
    AutoExcludeTable& autoExcludes_;
    Prompts& prompts_;
    Dialogs& dialogs_;
    OptionBindings bindings_;
};
