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

    // The fixed paragraph on memo line 4.
    static QString notice();

protected:
    // Escape presses OK, which is also the cancel button; the window's close box only
    // closes, and stores nothing.
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    void restoreMainWindow();

    std::unique_ptr<Ui::TfrmSplash> ui;
    TfrmDigital& main_;
    bool restored_ = false;
};
