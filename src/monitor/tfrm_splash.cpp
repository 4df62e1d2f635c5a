#include "monitor/tfrm_splash.h"

#include "ui_tfrm_splash.h"

#include "core/settings.h"
#include "core/settings_store.h"
#include "core/version.h"
#include "monitor/tfrm_digital.h"
#include "monitor/vorn_timer.h"

#include <QAction>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

TfrmSplash::TfrmSplash(TfrmDigital& main)
    : QDialog(nullptr), ui(std::make_unique<Ui::TfrmSplash>()), main_(main) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->imgAbout->setPixmap(main.imgIcon.pixmap(48, 48));

    main.timerAutoHide->setEnabled(false);
    for (QAction* item : {main.mnuOptions, main.mnuLog, main.mnuTools, main.mnuAbout,
                          main.mnuCheckForMail, main.mnuIPAddress, main.mnuHangUp})
        item->setEnabled(false);

    ui->chkShowSplash->setChecked(
        main.services().store.readBoolean(QString(), QStringLiteral("Show_Splash"), true));

    const QStringList lines = {
        QString::fromLatin1(VornApplicationTitle) + QStringLiteral(" v") +
            QString::fromLatin1(VornVersion),
        QStringLiteral("Copyright (C) Ostrand Labs"),
        QString(),
        QStringLiteral("Watches metered dial-up and mobile connections, prices every second "
                       "from your charge bands and records every call in the call log."),
        notice(),
        QString(),
        QStringLiteral("Open the options from the tray icon's menu to enter your charge bands."),
    };
    ui->memoAbout->setPlainText(lines.join(u'\n'));

    connect(ui->btnOK, &QPushButton::clicked, this, &TfrmSplash::btnOKClick);

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

TfrmSplash::~TfrmSplash() {
    restoreMainWindow();
}

QString TfrmSplash::notice() {
    return QStringLiteral("VORN only watches your connection: the costs it shows are worked out "
                          "from the charge bands you enter and may differ from your bill. Check "
                          "your charge bands against your provider's current prices.");
}

void TfrmSplash::btnOKClick() {
    const bool show = ui->chkShowSplash->isChecked();
    SettingsStore& store = main_.services().store;
    store.writeBoolean(QString(), QStringLiteral("Show_Splash"), show);
    store.sync();
    main_.services().settings.Show_Splash = show;
    accept();
}

void TfrmSplash::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        btnOKClick();
    else
        QDialog::keyPressEvent(event);
}

void TfrmSplash::done(int result) {
    restoreMainWindow();
    QDialog::done(result);
}

void TfrmSplash::restoreMainWindow() {
    if (restored_)
        return;
    restored_ = true;
    main_.timerAutoHide->setEnabled(true);
    for (QAction* item : {main_.mnuOptions, main_.mnuLog, main_.mnuTools, main_.mnuAbout})
        item->setEnabled(true);
    if (main_.state().connected) {
        for (QAction* item : {main_.mnuCheckForMail, main_.mnuIPAddress, main_.mnuHangUp})
            item->setEnabled(true);
    }
}
