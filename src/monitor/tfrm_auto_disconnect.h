#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TfrmAutoDisconnect;
}
class TfrmDigital;
class VornTimer;

// The countdown before an automatic hang-up: it names the reason, counts ten seconds and
// then hangs up, unless the user cancels (the button, Escape or the close box) or hangs up
// at once. Modeless and above every other window; each firing of a rule opens its own.
class TfrmAutoDisconnect : public QDialog {
    Q_OBJECT
public:
    static constexpr int CountdownSeconds = 10;

    explicit TfrmAutoDisconnect(TfrmDigital& main);
    ~TfrmAutoDisconnect() override;

    // One second of the countdown (timerAutoDisconnect's handler).
    void timerAutoDisconnectTimer();
    void btnHangUpClick();
    void btnCancelClick();
    void reject() override;

    qint32 remaining() const { return remaining_; }
    VornTimer* timerAutoDisconnect = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void FormShow();
    void FormClose();
    // Whether the call the countdown was opened for is still the running one.
    bool sameCallRunning() const;

    std::unique_ptr<Ui::TfrmAutoDisconnect> ui;
    TfrmDigital& main_;
    qint32 remaining_ = CountdownSeconds;
    qint64 callStartCount_ = 0;
    bool shown_ = false;
    bool closed_ = false;
};
