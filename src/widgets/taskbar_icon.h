#pragma once

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

// The desktop's notification area as the tray icon component sees it: an icon is added,
// changed and removed, and mouse notifications come back as the codes of
// TantTaskbarIcon::Notification.
class TrayIconBackend : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~TrayIconBackend() override = default;

    virtual void add(const QIcon& icon, const QString& tip) = 0;
    virtual void modify(const QIcon& icon, const QString& tip) = 0;
    virtual void remove() = 0;
    // The right-click menu, or none. A backend whose desktop shows the menu by itself
    // (a status notifier host, Qt's own tray) says so, and the component leaves it alone.
    virtual void setMenu(QMenu* menu) = 0;
    virtual bool showsMenuItself() const = 0;

Q_SIGNALS:
    void notification(int code);
};

// One icon in the notification area, with a tooltip, a popup menu and mouse events.
// Without a notification area the icon keeps its state and nothing is shown.
class TantTaskbarIcon : public QObject {
    Q_OBJECT
    Q_PROPERTY(QIcon Icon READ icon WRITE setIcon)
    Q_PROPERTY(QString Hint READ hint WRITE setHint)
    Q_PROPERTY(bool Visible READ visible WRITE setVisible)
    Q_PROPERTY(bool Enabled READ enabled WRITE setEnabled)
    Q_PROPERTY(int Tag READ tag WRITE setTag)

public:
    // The mouse notifications a tray icon receives, numbered as Windows numbers them.
    enum Notification {
        LeftButtonDown = 513,
        LeftButtonUp = 514,
        LeftDoubleClick = 515,
        RightButtonDown = 516,
        RightButtonUp = 517,
    };
    static constexpr int MaxHintLength = 63;

    // Uses the desktop's system tray.
    explicit TantTaskbarIcon(QObject* parent = nullptr);
    explicit TantTaskbarIcon(std::unique_ptr<TrayIconBackend> backend, QObject* parent = nullptr);
    ~TantTaskbarIcon() override;

    QIcon icon() const { return icon_; }
    void setIcon(const QIcon& icon);
    QString hint() const { return hint_; }
    // Longer texts are cut to their first MaxHintLength characters.
    void setHint(const QString& text);
    bool visible() const { return visible_; }
    void setVisible(bool visible);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    QMenu* popupMenu() const { return menu_; }
    void setPopupMenu(QMenu* menu);
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    // Acts on one mouse notification (ignored while disabled).
    void handleNotification(int notification);

Q_SIGNALS:
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void click();
    void dblClick();
    void shown();
    void hidden();
    void afterPopup();

private:
    void syncMenu();

    std::unique_ptr<TrayIconBackend> backend_;
    QIcon icon_;
    QString hint_;
    bool visible_ = false;
    bool enabled_ = true;
    QPointer<QMenu> menu_;
    int tag_ = 0;
    bool leftButtonDown_ = false;
};
