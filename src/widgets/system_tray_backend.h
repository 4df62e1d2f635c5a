#pragma once

#include "widgets/taskbar_icon.h"

#include <QElapsedTimer>
#include <QList>
#include <QSystemTrayIcon>

// Turns the activations a Qt tray icon reports into the tray's mouse notifications, in
// the order a Windows tray sends them (a double-click is down, up, double-click, up).
// Status notifier hosts report no double-clicks, only one activation per click: a second
// click within the double-click interval then stands for the double-click.
class TrayActivationTranslator {
public:
    QList<int> translate(QSystemTrayIcon::ActivationReason reason, qint64 nowMs, int doubleClickMs);

private:
    qint64 lastClickMs_ = -1;
    qint64 lastDoubleMs_ = -1;
};

// The notification area through QSystemTrayIcon. Qt shows the icon once a tray is there
// and shows the context menu itself; without a tray nothing happens and nothing fails.
class SystemTrayBackend final : public TrayIconBackend {
    Q_OBJECT
public:
    explicit SystemTrayBackend(QObject* parent = nullptr);

    void add(const QIcon& icon, const QString& tip) override;
    void modify(const QIcon& icon, const QString& tip) override;
    void remove() override;
    void setMenu(QMenu* menu) override { tray_.setContextMenu(menu); }
    bool showsMenuItself() const override { return true; }

private:
    void showWhenPossible();
    void onActivated(QSystemTrayIcon::ActivationReason reason);

    QSystemTrayIcon tray_;
    TrayActivationTranslator translator_;
    QElapsedTimer clock_;
    bool added_ = false;
};
