#include "widgets/system_tray_backend.h"

#include <QGuiApplication>
#include <QStyleHints>

QList<int> TrayActivationTranslator::translate(QSystemTrayIcon::ActivationReason reason,
                                               qint64 nowMs, int doubleClickMs) {
    const auto within = [&](qint64 then) { return then >= 0 && nowMs - then <= doubleClickMs; };
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        if (within(lastClickMs_)) {
            lastClickMs_ = -1;
            lastDoubleMs_ = nowMs;
            return {TantTaskbarIcon::LeftDoubleClick, TantTaskbarIcon::LeftButtonUp};
        }
        lastClickMs_ = nowMs;
        return {TantTaskbarIcon::LeftButtonDown, TantTaskbarIcon::LeftButtonUp};
    case QSystemTrayIcon::DoubleClick:
        lastClickMs_ = -1;
        // Already reported when a platform sends both a second click and a double-click.
        if (within(lastDoubleMs_))
            return {};
        lastDoubleMs_ = nowMs;
        return {TantTaskbarIcon::LeftDoubleClick, TantTaskbarIcon::LeftButtonUp};
    case QSystemTrayIcon::Context:
        return {TantTaskbarIcon::RightButtonDown, TantTaskbarIcon::RightButtonUp};
    default:
        return {};
    }
}

SystemTrayBackend::SystemTrayBackend(QObject* parent) : TrayIconBackend(parent), tray_(this) {
    clock_.start();
    connect(&tray_, &QSystemTrayIcon::activated, this, &SystemTrayBackend::onActivated);
}

void SystemTrayBackend::add(const QIcon& icon, const QString& tip) {
    added_ = true;
    modify(icon, tip);
}

void SystemTrayBackend::modify(const QIcon& icon, const QString& tip) {
    tray_.setIcon(icon);
    tray_.setToolTip(tip);
    if (added_)
        showWhenPossible();
}

void SystemTrayBackend::remove() {
    added_ = false;
    tray_.hide();
}

// An icon without a picture cannot be shown; it appears once it has one.
void SystemTrayBackend::showWhenPossible() {
    if (!tray_.icon().isNull() && !tray_.isVisible())
        tray_.show();
}

void SystemTrayBackend::onActivated(QSystemTrayIcon::ActivationReason reason) {
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    for (const int code : translator_.translate(reason, clock_.elapsed(), interval))
        Q_EMIT notification(code);
}
