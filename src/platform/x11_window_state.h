#pragma once

#include "platform/shell.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <vector>

struct xcb_connection_t;

// Shows the first window of a started program minimized, maximized or hidden, on an X11
// desktop whose window manager follows the EWMH conventions. A program's windows are
// those whose _NET_WM_PID is a process of the session it was started in, so a window
// opened by a child of a launcher script counts too. Elsewhere (Wayland, no display)
// nothing can be asked of the desktop and nothing happens.
class X11WindowState final : public QObject {
    Q_OBJECT
public:
    // display empty: $DISPLAY. A program gets this long to open its first window.
    explicit X11WindowState(const QString& display = {},
                            std::chrono::milliseconds patience = std::chrono::seconds(20),
                            QObject* parent = nullptr);
    ~X11WindowState() override;
    X11WindowState(const X11WindowState&) = delete;
    X11WindowState& operator=(const X11WindowState&) = delete;

    bool isConnected() const { return connection_ != nullptr; }
    // Watches for the first window of the session and asks the window manager to show it in
    // the state. Normal asks nothing.
    void apply(qint64 sessionId, WindowState state);
    // One look for the windows being waited for; the timer calls it every 200 ms.
    void poll();

    int pending() const { return static_cast<int>(waiting_.size()); }

private:
    struct Waiting {
        qint64 session;
        WindowState state;
        std::chrono::steady_clock::time_point giveUpAt;
    };

    quint32 atom(const char* name);
    std::vector<quint32> topLevelWindows();
    qint64 windowProcess(quint32 window);
    void sendToRoot(quint32 window, quint32 type, std::initializer_list<quint32> data);
    void show(quint32 window, WindowState state);

    xcb_connection_t* connection_ = nullptr;
    quint32 root_ = 0;
    std::chrono::milliseconds patience_;
    std::vector<Waiting> waiting_;
    QTimer timer_;
};
