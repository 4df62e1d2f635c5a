#include "widgets/system_tray_backend.h"
#include "widgets/taskbar_icon.h"

#include <gtest/gtest.h>

#include <QPixmap>
#include <QSignalSpy>

namespace {

// Records what the component asks of the notification area.
class RecordingBackend final : public TrayIconBackend {
public:
    struct Log {
        int adds = 0;
        int modifies = 0;
        int removes = 0;
        QString lastTip;
        qint64 lastIconKey = 0;
        QMenu* menu = nullptr;
    };
    RecordingBackend(Log& log, bool nativeMenu) : log_(log), nativeMenu_(nativeMenu) {}

    void add(const QIcon& icon, const QString& tip) override {
        ++log_.adds;
        remember(icon, tip);
    }
    void modify(const QIcon& icon, const QString& tip) override {
        ++log_.modifies;
        remember(icon, tip);
    }
    void remove() override { ++log_.removes; }
    void setMenu(QMenu* menu) override { log_.menu = menu; }
    bool showsMenuItself() const override { return nativeMenu_; }

    void send(std::initializer_list<int> codes) {
        for (int code : codes)
            Q_EMIT notification(code);
    }

private:
    void remember(const QIcon& icon, const QString& tip) {
        log_.lastTip = tip;
        log_.lastIconKey = icon.cacheKey();
    }
    Log& log_;
    bool nativeMenu_;
};

QIcon redIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::red);
    return QIcon(pixmap);
}

// The component's events as one line, in the order they came.
struct EventLog {
    QStringList events;
    explicit EventLog(TantTaskbarIcon& icon) {
        const auto button = [](Qt::MouseButton b) { return b == Qt::LeftButton ? "L" : "R"; };
        QObject::connect(&icon, &TantTaskbarIcon::mouseDown, [=, this](Qt::MouseButton b, auto...) {
            events << QString("down ") + button(b);
        });
        QObject::connect(&icon, &TantTaskbarIcon::mouseUp, [=, this](Qt::MouseButton b, auto...) {
            events << QString("up ") + button(b);
        });
        QObject::connect(&icon, &TantTaskbarIcon::click, [this] { events << "click"; });
        QObject::connect(&icon, &TantTaskbarIcon::dblClick, [this] { events << "dblclick"; });
        QObject::connect(&icon, &TantTaskbarIcon::afterPopup, [this] { events << "popup"; });
    }
    QString text() const { return events.join(", "); }
};

struct Fixture {
    RecordingBackend::Log log;
    RecordingBackend* backend;
    TantTaskbarIcon icon;
    explicit Fixture(bool nativeMenu = false)
        : backend(new RecordingBackend(log, nativeMenu)),
          icon(std::unique_ptr<TrayIconBackend>(backend)) {}
};

} // namespace

TEST(TaskbarIcon, HintIsCutToSixtyThreeCharacters) {
    Fixture f;
    QString seventy;
    for (int i = 0; i < 70; ++i)
        seventy += QChar('a' + i % 26);
    f.icon.setVisible(true);
    f.icon.setHint(seventy);
    EXPECT_EQ(f.icon.hint(), seventy.left(63));
    EXPECT_EQ(f.log.lastTip, seventy.left(63));

    f.icon.setHint(QString(62, 'x') + QString::fromUtf8("\U0001F600")); // no half character
    EXPECT_EQ(f.icon.hint(), QString(62, 'x'));
}

TEST(TaskbarIcon, VisibleAddsOnceAndRemovesOnce) {
    Fixture f;
    QSignalSpy shown(&f.icon, &TantTaskbarIcon::shown);
    QSignalSpy hidden(&f.icon, &TantTaskbarIcon::hidden);
    f.icon.setVisible(false);
    EXPECT_EQ(f.log.removes, 0);
    f.icon.setVisible(true);
    f.icon.setVisible(true);
    EXPECT_EQ(f.log.adds, 1);
    EXPECT_EQ(shown.size(), 1);
    f.icon.setVisible(false);
    f.icon.setVisible(false);
    EXPECT_EQ(f.log.removes, 1);
    EXPECT_EQ(hidden.size(), 1);
}

TEST(TaskbarIcon, IconAndHintChangeTheTrayOnlyWhileShown) {
    Fixture f;
    const QIcon icon = redIcon();
    f.icon.setIcon(icon);
    f.icon.setHint("VORN - [Not Connected]");
    EXPECT_EQ(f.log.modifies, 0);

    f.icon.setVisible(true); // added with what was set while hidden
    EXPECT_EQ(f.log.lastTip, "VORN - [Not Connected]");
    EXPECT_EQ(f.log.lastIconKey, icon.cacheKey());

    f.icon.setHint("VORN - [Connecting]");
    f.icon.setHint("VORN - [Connecting]");
    f.icon.setIcon(icon);
    EXPECT_EQ(f.log.modifies, 1);
    EXPECT_EQ(f.log.lastTip, "VORN - [Connecting]");
}

TEST(TaskbarIcon, DestroyingAShownIconRemovesIt) {
    RecordingBackend::Log log;
    {
        TantTaskbarIcon icon(std::make_unique<RecordingBackend>(log, false));
        icon.setVisible(true);
    }
    EXPECT_EQ(log.removes, 1);
    { TantTaskbarIcon icon(std::make_unique<RecordingBackend>(log, false)); }
    EXPECT_EQ(log.removes, 1);
}

TEST(TaskbarIcon, ClickAndDoubleClickRaiseEventsInWindowsOrder) {
    Fixture f;
    EventLog events(f.icon);
    f.backend->send({TantTaskbarIcon::LeftButtonDown, TantTaskbarIcon::LeftButtonUp,
                     TantTaskbarIcon::LeftDoubleClick, TantTaskbarIcon::LeftButtonUp});
    EXPECT_EQ(events.text(), "down L, up L, click, dblclick, up L");

    events.events.clear();
    f.backend->send({TantTaskbarIcon::LeftButtonUp}); // a release without a press: no click
    EXPECT_EQ(events.text(), "up L");
}

TEST(TaskbarIcon, RightClickPopsUpTheMenuBeforeTheButtonUp) {
    QMenu menu;
    menu.addAction("E&xit");
    {
        Fixture f;
        EventLog events(f.icon);
        f.backend->send({TantTaskbarIcon::RightButtonDown, TantTaskbarIcon::RightButtonUp});
        EXPECT_EQ(events.text(), "down R, up R"); // no menu, no popup

        f.icon.setPopupMenu(&menu);
        events.events.clear();
        f.backend->send({TantTaskbarIcon::RightButtonDown, TantTaskbarIcon::RightButtonUp});
        EXPECT_EQ(events.text(), "down R, popup, up R");
        EXPECT_TRUE(menu.isVisible());
        menu.hide();
    }
    {
        Fixture f(/*nativeMenu=*/true); // the desktop shows it: not popped up twice
        EventLog events(f.icon);
        f.icon.setPopupMenu(&menu);
        EXPECT_EQ(f.log.menu, &menu);
        f.backend->send({TantTaskbarIcon::RightButtonDown, TantTaskbarIcon::RightButtonUp});
        EXPECT_EQ(events.text(), "down R, popup, up R");
        EXPECT_FALSE(menu.isVisible());
    }
}

TEST(TaskbarIcon, DisabledIconIgnoresTheMouseAndOffersNoMenu) {
    Fixture f;
    QMenu menu;
    f.icon.setPopupMenu(&menu);
    EventLog events(f.icon);
    f.icon.setEnabled(false);
    EXPECT_EQ(f.log.menu, nullptr);
    f.backend->send({TantTaskbarIcon::LeftButtonDown, TantTaskbarIcon::LeftButtonUp,
                     TantTaskbarIcon::LeftDoubleClick, TantTaskbarIcon::RightButtonUp});
    EXPECT_TRUE(events.events.isEmpty());
    EXPECT_FALSE(menu.isVisible());

    f.icon.setEnabled(true);
    EXPECT_EQ(f.log.menu, &menu);
}

TEST(TaskbarIcon, ForgetsAPopupMenuThatIsDestroyed) {
    Fixture f;
    auto* menu = new QMenu;
    f.icon.setPopupMenu(menu);
    delete menu;
    EXPECT_EQ(f.icon.popupMenu(), nullptr);
    EventLog events(f.icon);
    f.backend->send({TantTaskbarIcon::RightButtonUp});
    EXPECT_EQ(events.text(), "up R");
}

TEST(TrayActivationTranslator, ClicksBecomeTheMouseNotificationTable) {
    using T = TantTaskbarIcon;
    const int interval = 400;
    TrayActivationTranslator t;
    // Status notifier hosts: one activation per click.
    EXPECT_EQ(t.translate(QSystemTrayIcon::Trigger, 1000, interval),
              QList<int>({T::LeftButtonDown, T::LeftButtonUp}));
    EXPECT_EQ(t.translate(QSystemTrayIcon::Trigger, 1300, interval),
              QList<int>({T::LeftDoubleClick, T::LeftButtonUp}));
    // A third quick click starts a new click, not a second double-click.
    EXPECT_EQ(t.translate(QSystemTrayIcon::Trigger, 1500, interval),
              QList<int>({T::LeftButtonDown, T::LeftButtonUp}));
    EXPECT_EQ(t.translate(QSystemTrayIcon::Trigger, 5000, interval),
              QList<int>({T::LeftButtonDown, T::LeftButtonUp}));

    // An X11 tray: a click, then a real double-click.
    TrayActivationTranslator x11;
    x11.translate(QSystemTrayIcon::Trigger, 0, interval);
    EXPECT_EQ(x11.translate(QSystemTrayIcon::DoubleClick, 200, interval),
              QList<int>({T::LeftDoubleClick, T::LeftButtonUp}));

    // A platform that reports both the second click and the double-click: one double-click.
    TrayActivationTranslator both;
    both.translate(QSystemTrayIcon::Trigger, 0, interval);
    both.translate(QSystemTrayIcon::Trigger, 100, interval);
    EXPECT_TRUE(both.translate(QSystemTrayIcon::DoubleClick, 150, interval).isEmpty());

    EXPECT_EQ(t.translate(QSystemTrayIcon::Context, 9000, interval),
              QList<int>({T::RightButtonDown, T::RightButtonUp}));
    EXPECT_TRUE(t.translate(QSystemTrayIcon::MiddleClick, 9100, interval).isEmpty());
}

// The offscreen platform has no notification area, like a desktop without one.
TEST(TaskbarIconOnTheDesktop, WithoutANotificationAreaKeepsItsStateAndStillHearsClicks) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    TantTaskbarIcon icon;
    QMenu menu;
    icon.setPopupMenu(&menu);
    icon.setHint("VORN - [Not Connected]");
    icon.setVisible(true);
    icon.setIcon(redIcon());
    icon.setTag(1);
    EXPECT_TRUE(icon.visible());
    EXPECT_EQ(icon.hint(), "VORN - [Not Connected]");
    EXPECT_EQ(icon.tag(), 1);

    auto* tray = icon.findChild<QSystemTrayIcon*>();
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(tray->toolTip(), "VORN - [Not Connected]");
    EXPECT_EQ(tray->contextMenu(), &menu);
    EventLog events(icon);
    Q_EMIT tray->activated(QSystemTrayIcon::Trigger);
    Q_EMIT tray->activated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(events.text(), "down L, up L, click, dblclick, up L");

    icon.setVisible(false);
    EXPECT_FALSE(icon.visible());
    EXPECT_FALSE(tray->isVisible());
}
