#include "widgets/taskbar_icon.h"

#include "widgets/system_tray_backend.h"

#include <QCursor>
#include <QGuiApplication>

TantTaskbarIcon::TantTaskbarIcon(QObject* parent)
    : TantTaskbarIcon(std::make_unique<SystemTrayBackend>(), parent) {}

TantTaskbarIcon::TantTaskbarIcon(std::unique_ptr<TrayIconBackend> backend, QObject* parent)
    : QObject(parent), backend_(std::move(backend)) {
    backend_->setParent(this); // still owned by backend_; a child so that it can be found
    connect(backend_.get(), &TrayIconBackend::notification, this,
            &TantTaskbarIcon::handleNotification);
}

TantTaskbarIcon::~TantTaskbarIcon() {
    if (visible_)
        backend_->remove();
}

void TantTaskbarIcon::setIcon(const QIcon& icon) {
    if (icon.cacheKey() == icon_.cacheKey())
        return;
    icon_ = icon;
    if (visible_)
        backend_->modify(icon_, hint_);
}

void TantTaskbarIcon::setHint(const QString& text) {
    QString cut = text.left(MaxHintLength);
    if (cut.size() == MaxHintLength && cut.back().isHighSurrogate())
        cut.chop(1);
    if (cut == hint_)
        return;
    hint_ = cut;
    if (visible_)
        backend_->modify(icon_, hint_);
}

void TantTaskbarIcon::setVisible(bool visible) {
    if (visible == visible_)
        return;
    visible_ = visible;
    if (visible_) {
        backend_->add(icon_, hint_);
        Q_EMIT shown();
    } else {
        backend_->remove();
        Q_EMIT hidden();
    }
}

void TantTaskbarIcon::setEnabled(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    syncMenu();
}

void TantTaskbarIcon::setPopupMenu(QMenu* menu) {
    menu_ = menu;
    syncMenu();
}

// A disabled icon must not offer its menu either, even where the desktop shows it.
void TantTaskbarIcon::syncMenu() {
    backend_->setMenu(enabled_ ? menu_.data() : nullptr);
}

void TantTaskbarIcon::handleNotification(int notification) {
    if (!enabled_)
        return;
    // There is no foreground window to claim on Linux desktops: the window manager
    // decides, so button presses only raise events here.
    const QPoint at = QCursor::pos();
    const Qt::KeyboardModifiers shift = QGuiApplication::keyboardModifiers();
    switch (notification) {
    case LeftButtonDown:
        leftButtonDown_ = true;
        Q_EMIT mouseDown(Qt::LeftButton, shift, at.x(), at.y());
        break;
    case LeftButtonUp: {
        Q_EMIT mouseUp(Qt::LeftButton, shift, at.x(), at.y());
        // The button up that ends a double-click has no press of its own: no second click.
        const bool wasDown = leftButtonDown_;
        leftButtonDown_ = false;
        if (wasDown)
            Q_EMIT click();
        break;
    }
    case LeftDoubleClick:
        Q_EMIT dblClick();
        break;
    case RightButtonDown:
        Q_EMIT mouseDown(Qt::RightButton, shift, at.x(), at.y());
        break;
    case RightButtonUp:
        if (menu_) {
            if (!backend_->showsMenuItself())
                menu_->popup(at);
            Q_EMIT afterPopup();
        }
        Q_EMIT mouseUp(Qt::RightButton, shift, at.x(), at.y());
        break;
    default:
        break;
    }
}
