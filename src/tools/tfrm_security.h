#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TfrmSecurity;
}

// Asks for the password keeper's security password.
class TfrmSecurity : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSecurity(QWidget* parent = nullptr);
    ~TfrmSecurity() override;

    // What was typed when OK closed the dialog; empty after Cancel.
    QString enteredPassword() const;

private:
    std::unique_ptr<Ui::TfrmSecurity> ui;
};
