#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TfrmImport;
}
class Help;
class Prompts;

// "Import": appends an older release's log ("call_log.bin" or "log.bin" in the Logs folder)
// to the call log, after a question, all or nothing.
class TfrmImport : public QDialog {
    Q_OBJECT
public:
    TfrmImport(const QString& logsFolder, const QString& userName, Prompts& prompts, Help& help,
               QWidget* parent = nullptr);
    ~TfrmImport() override;

    void cmdOKClick();
    void cmdCancelClick();

private:
    std::unique_ptr<Ui::TfrmImport> ui;
    QString logsFolder_;
    QString userName_;
    Prompts& prompts_;
    Help& help_;
};
