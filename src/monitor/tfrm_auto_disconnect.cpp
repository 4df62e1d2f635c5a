#include "monitor/tfrm_auto_disconnect.h"

#include "ui_tfrm_auto_disconnect.h"

#include "monitor/tfrm_digital.h"
#include "monitor/vorn_timer.h"
#include "platform/help.h"
#include "widgets/window_frame.h"

#include <QGuiApplication>
#include <QScreen>

TfrmAutoDisconnect::TfrmAutoDisconnect(TfrmDigital& main)
    : QDialog(&main, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TfrmAutoDisconnect>()), main_(main),
      callStartCount_(main.state().callStartCount) {
    ui->setupUi(this);
    setModal(false);

    timerAutoDisconnect = new VornTimer(QStringLiteral("timerAutoDisconnect"), 1000, this);
    timerAutoDisconnect->setInterval(1000);
    timerAutoDisconnect->setEnabled(false);
    connect(timerAutoDisconnect, &VornTimer::timeout, this,
            &TfrmAutoDisconnect::timerAutoDisconnectTimer);
    connect(ui->btnHangUp, &QPushButton::clicked, this, &TfrmAutoDisconnect::btnHangUpClick);
    connect(ui->btnCancel, &QPushButton::clicked, this, &TfrmAutoDisconnect::btnCancelClick);
    // FormHelp: F1 opens the rules' help.
    if (Help* help = main.services().help)
        installHelpKey(this, *help, QStringLiteral("index#autodisconnect"));

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

// Nothing of the main window is touched here: when the main window goes first, its state is
// already gone by the time its child windows are destroyed.
TfrmAutoDisconnect::~TfrmAutoDisconnect() = default;

void TfrmAutoDisconnect::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TfrmAutoDisconnect::FormShow() {
    raise();
    activateWindow();
    main_.state().countdownActive = true;
    ui->groupAutoDisconnect->setTitle(main_.state().reasonText);
    remaining_ = CountdownSeconds;
    main_.PlaySoundEvent(QStringLiteral("AtAutoDisconnectStart"));
    ui->progressAutoDisconnect->setValue(1);
    timerAutoDisconnect->setEnabled(true);
}

void TfrmAutoDisconnect::timerAutoDisconnectTimer() {
    if (ui->progressAutoDisconnect->value() < ui->progressAutoDisconnect->maximum())
        ui->progressAutoDisconnect->setValue(ui->progressAutoDisconnect->value() + 1);
    --remaining_;
    if (remaining_ > 0)
        return;
    timerAutoDisconnect->setEnabled(false);
    // A countdown outlived by its call must not end the next one, nor have the next call
    // logged as hung up automatically.
    if (sameCallRunning())
        main_.HangUp(true);
    done(QDialog::Accepted);
}

void TfrmAutoDisconnect::btnHangUpClick() {
    remaining_ = 0; // the next second hangs up
}

void TfrmAutoDisconnect::btnCancelClick() {
    timerAutoDisconnect->setEnabled(false);
    done(QDialog::Rejected);
}

void TfrmAutoDisconnect::reject() {
    // Escape and the close box.
    btnCancelClick();
}

void TfrmAutoDisconnect::done(int result) {
    FormClose();
    QDialog::done(result);
}

void TfrmAutoDisconnect::FormClose() {
    if (closed_)
        return;
    closed_ = true;
    timerAutoDisconnect->setEnabled(false);
    main_.state().countdownActive = false;
    deleteLater();
}

bool TfrmAutoDisconnect::sameCallRunning() const {
    return main_.state().connected && main_.state().callStartCount == callStartCount_;
}
