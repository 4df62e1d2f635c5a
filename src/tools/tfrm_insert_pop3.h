#pragma once

#include "core/records.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TfrmInsertPOP3;
}

// A POP3 account: server, user name, password and whether the check at connect visits it.
class TfrmInsertPOP3 : public QDialog {
    Q_OBJECT
public:
    // Inserts a new account when editing is null, else shows that account's properties.
    explicit TfrmInsertPOP3(const typPOP3Information* editing, QWidget* parent = nullptr);
    ~TfrmInsertPOP3() override;

    typPOP3Information record() const;

private:
    std::unique_ptr<Ui::TfrmInsertPOP3> ui;
};
