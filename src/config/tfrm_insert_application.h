#pragma once

#include "core/records.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TfrmInsertApplication;
}
class Dialogs;
class Prompts;
struct ConnectoidNameTable;
struct RegionalSettings;

// Edits one application: the program, its folder and parameters, the connectoid, its window
// state, whether it starts when a call starts or ends (and how long after the start), and
// whether it is closed when the call ends.
class TfrmInsertApplication final : public QDialog {
    Q_OBJECT
public:
    TfrmInsertApplication(typApplicationInformation& working, const QString& caption,
                          bool inserting, const ConnectoidNameTable& names,
                          const RegionalSettings& regional, Dialogs& dialogs, Prompts& prompts,
                          QWidget* parent = nullptr);
    ~TfrmInsertApplication() override;

    void btnLocationClick();
    void btnOKClick();

    static QString NotExecutableWarning(const QString& path);

private:
    // Only a program started with the call waits for its delay.
    void applyExecuteRule();

    std::unique_ptr<Ui::TfrmInsertApplication> ui;
    typApplicationInformation& working_;
    Dialogs& dialogs_;
    Prompts& prompts_;
};
