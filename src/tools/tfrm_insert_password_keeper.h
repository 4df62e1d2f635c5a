#pragma once

#include "core/records.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TfrmInsertPasswordKeeper;
}
class Prompts;
class QLineEdit;

// A password keeper entry: company, user name, password and comments. A character the
// password file cannot hold is refused as it is typed or pasted, with a warning naming it,
// rather than be stored as "?".
class TfrmInsertPasswordKeeper : public QDialog {
    Q_OBJECT
public:
    // Inserts a new entry when editing is null, else shows that entry's properties.
    TfrmInsertPasswordKeeper(const typPasswordInformation* editing, Prompts& prompts,
                             QWidget* parent = nullptr);
    ~TfrmInsertPasswordKeeper() override;

    typPasswordInformation record() const;

private:
    void refuseUnstorable(QLineEdit* edit);

    std::unique_ptr<Ui::TfrmInsertPasswordKeeper> ui;
    Prompts& prompts_;
};
