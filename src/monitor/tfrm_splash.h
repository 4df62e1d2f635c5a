#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TfrmSplash;
}
class TfrmDigital;

// The about window. While it is open the tray commands that open windows or act on the
// call are off, and the intelligent display rests.
class TfrmSplash : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSplash(TfrmDigital& main);
    ~TfrmSplash() override;

    void btnOKClick();
    // Escape and the window's close button count as OK, as the button is also the
    // cancel button.
    void reject() override;

    // The fixed paragraph on memo line 4.
    static QString notice();

protected:
    void done(int result) override;

private:
    void restoreMainWindow();

    std::unique_ptr<Ui::TfrmSplash> ui;
    TfrmDigital& main_;
    bool restored_ = false;
};
