#include "widgets/system_tray_backend.h"
#include "widgets/taskbar_icon.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace {
using T = TantTaskbarIcon;

// Records what the component asks of the notification area.
class RecordingBackend final : public TrayIconBackend {
public:
    int adds = 0, modifies = 0, removes = 0;
    QString tip;
    QMenu* menu = nullptr;
    bool nativeMenu = false;
    int* removeLog = nullptr; // outlives the backend

    void add(const QIcon&, const QString& text) override { ++adds, tip = text; }
    void modify(const QIcon&, const QString& text) override { ++modifies, tip = text; }
    void remove() override { ++removes, removeLog && ++*removeLog; }
    void setMenu(QMenu* m) override { menu = m; }
    bool showsMenuItself() const override { return nativeMenu; }
    void send(std::initializer_list<int> codes) {
        for (int code : codes)
            Q_EMIT notification(code);
    }
};

// The component, on a recording backend unless given another, and its events as one line.
struct Fixture {
    explicit Fixture(std::unique_ptr<TrayIconBackend> backend = nullptr)
        : icon(backend ? std::move(backend)
                       : std::unique_ptr<TrayIconBackend>(tray = new RecordingBackend)) {
        QObject::connect(&icon, &T::mouseDown, [this](Qt::MouseButton b, auto...) {
            events << (b == Qt::LeftButton ? "down L" : "down R");
        });
        QObject::connect(&icon, &T::mouseUp, [this](Qt::MouseButton b, auto...) {
            events << (b == Qt::LeftButton ? "up L" : "up R");
        });
        QObject::connect(&icon, &T::click, [this] { events << "click"; });
        QObject::connect(&icon, &T::dblClick, [this] { events << "dblclick"; });
        QObject::connect(&icon, &T::afterPopup, [this] { events << "popup"; });
    }
    QString eventText() const { return events.join(", "); }

    RecordingBackend* tray = nullptr; // owned by the icon
    TantTaskbarIcon icon;
    QStringList events;
};
} // namespace

TEST(TaskbarIcon, AddsOnceRemovesOnceChangesOnlyWhatIsShownAndCutsTheHint) {
    auto f = std::make_unique<Fixture>();
    QSignalSpy shown(&f->icon, &T::shown);
    QSignalSpy hidden(&f->icon, &T::hidden);
    f->icon.setHint("VORN - [Not Connected]");
    EXPECT_EQ(f->tray->modifies, 0); // not in the tray yet
    for (bool visible : {true, true, false, false, true})
        f->icon.setVisible(visible);
    EXPECT_EQ(std::make_pair(f->tray->adds, f->tray->removes), std::make_pair(2, 1));
    EXPECT_EQ(std::make_pair(shown.size(), hidden.size()),
              std::make_pair(qsizetype(2), qsizetype(1)));
    EXPECT_EQ(f->tray->tip, "VORN - [Not Connected]");
    f->icon.setHint("VORN - [Connecting]");
    f->icon.setHint("VORN - [Connecting]");
    EXPECT_EQ(f->tray->modifies, 1);

    const QString seventy = QString("abcdefghij").repeated(7);
    f->icon.setHint(seventy);
    EXPECT_EQ(f->tray->tip, seventy.left(63));
    f->icon.setHint(QString(62, 'x') + QString::fromUtf8("\U0001F600")); // no half character
    EXPECT_EQ(f->icon.hint(), QString(62, 'x'));

    int removedOnDestruction = 0;
    f->tray->removeLog = &removedOnDestruction;
    f.reset();
    EXPECT_EQ(removedOnDestruction, 1);
}

TEST(TaskbarIcon, ClicksRaiseEventsInWindowsOrderAndRightClickPopsUpTheMenu) {
    QMenu menu;
    menu.addAction("E&xit");
    Fixture f;
    f.icon.setPopupMenu(&menu);
    f.tray->send({T::LeftButtonDown, T::LeftButtonUp, T::LeftDoubleClick, T::LeftButtonUp,
                  T::RightButtonDown, T::RightButtonUp});
    EXPECT_EQ(f.eventText(), "down L, up L, click, dblclick, up L, down R, popup, up R");
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
    f.tray->nativeMenu = true;
    f.tray->send({T::RightButtonUp});
    EXPECT_FALSE(menu.isVisible()); // not shown twice

    // Disabled: no menu and no events.
    f.icon.setEnabled(false);
    EXPECT_EQ(f.tray->menu, nullptr);
    f.events.clear();
    f.tray->send({T::LeftButtonDown, T::LeftButtonUp, T::RightButtonUp});
    EXPECT_TRUE(f.events.isEmpty());
    f.icon.setEnabled(true);
    EXPECT_EQ(f.tray->menu, &menu);
}

TEST(TaskbarIcon, TrayActivationsBecomeTheMouseNotificationTable) {
    const QList<int> click{T::LeftButtonDown, T::LeftButtonUp};
    const QList<int> dbl{T::LeftDoubleClick, T::LeftButtonUp};
    const int ms = 400;
    TrayActivationTranslator sni; // status notifier hosts: one activation per click
    EXPECT_EQ(sni.translate(QSystemTrayIcon::Trigger, 1000, ms), click);
    EXPECT_EQ(sni.translate(QSystemTrayIcon::Trigger, 1300, ms), dbl);
    EXPECT_EQ(sni.translate(QSystemTrayIcon::Trigger, 1500, ms), click); // not a second double
    EXPECT_EQ(sni.translate(QSystemTrayIcon::Context, 9000, ms),
              QList<int>({T::RightButtonDown, T::RightButtonUp}));
    EXPECT_TRUE(sni.translate(QSystemTrayIcon::MiddleClick, 9100, ms).isEmpty());
    TrayActivationTranslator x11; // a click, then a real double-click
    x11.translate(QSystemTrayIcon::Trigger, 0, ms);
    EXPECT_EQ(x11.translate(QSystemTrayIcon::DoubleClick, 200, ms), dbl);
    TrayActivationTranslator both; // second click and double-click reported: one double
    both.translate(QSystemTrayIcon::Trigger, 0, ms);
    both.translate(QSystemTrayIcon::Trigger, 100, ms);
    EXPECT_TRUE(both.translate(QSystemTrayIcon::DoubleClick, 150, ms).isEmpty());
}

// The offscreen platform has no notification area, like a desktop without one.
TEST(TaskbarIcon, WithoutANotificationAreaKeepsItsStateAndStillHearsClicks) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    Fixture f(std::make_unique<SystemTrayBackend>());
    f.icon.setHint("VORN - [Not Connected]");
    f.icon.setVisible(true);
    EXPECT_TRUE(f.icon.visible());
    auto* tray = f.icon.findChild<QSystemTrayIcon*>();
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(tray->toolTip(), "VORN - [Not Connected]");
    Q_EMIT tray->activated(QSystemTrayIcon::Trigger);
    Q_EMIT tray->activated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(f.eventText(), "down L, up L, click, dblclick, up L");
}
