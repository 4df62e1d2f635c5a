#include "platform/x11_window_state.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

constexpr quint32 StateAdd = 1;
constexpr quint32 SourceApplication = 1;
constexpr quint32 IconicState = 3; // ICCCM

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T> Reply<T> reply(T* raw) {
    return Reply<T>(raw, &std::free);
}

} // namespace

X11WindowState::X11WindowState(const QString& display, std::chrono::milliseconds patience,
                               QObject* parent)
    : QObject(parent), patience_(patience) {
    const QByteArray name = display.toLocal8Bit();
    int screenNumber = 0;
    xcb_connection_t* connection =
        xcb_connect(display.isEmpty() ? nullptr : name.constData(), &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem <= 0) {
        xcb_disconnect(connection);
        return;
    }
    connection_ = connection;
    root_ = screens.data->root;
    timer_.setInterval(200);
    connect(&timer_, &QTimer::timeout, this, &X11WindowState::poll);
}

X11WindowState::~X11WindowState() {
    if (connection_)
        xcb_disconnect(connection_);
}

void X11WindowState::apply(qint64 sessionId, WindowState state) {
    if (!connection_ || state == WindowState::Normal || sessionId <= 0)
        return;
    waiting_.push_back({sessionId, state, std::chrono::steady_clock::now() + patience_});
    timer_.start();
}

quint32 X11WindowState::atom(const char* name) {
    const auto answer = reply(xcb_intern_atom_reply(
        connection_,
        xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return answer ? answer->atom : quint32(XCB_ATOM_NONE);
}

std::vector<quint32> X11WindowState::topLevelWindows() {
    std::vector<quint32> windows;
    // The window manager's list of the windows it manages, oldest first.
    const auto list = reply(
        xcb_get_property_reply(connection_,
                               xcb_get_property(connection_, 0, root_, atom("_NET_CLIENT_LIST"),
                                                XCB_ATOM_WINDOW, 0, 65536),
                               nullptr));
    if (list && list->format == 32) {
        const auto* ids = static_cast<const xcb_window_t*>(xcb_get_property_value(list.get()));
        const int count = xcb_get_property_value_length(list.get()) / 4;
        windows.assign(ids, ids + count);
    }
    return windows;
}

qint64 X11WindowState::windowProcess(quint32 window) {
    const auto property = reply(xcb_get_property_reply(
        connection_,
        xcb_get_property(connection_, 0, window, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 0, 1),
        nullptr));
    if (!property || property->format != 32 || xcb_get_property_value_length(property.get()) < 4)
        return 0;
    return *static_cast<const quint32*>(xcb_get_property_value(property.get()));
}

void X11WindowState::sendToRoot(quint32 window, quint32 type, std::initializer_list<quint32> data) {
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    int i = 0;
    for (quint32 value : data)
        event.data.data32[i++] = value;
    xcb_send_event(connection_, 0, root_,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

void X11WindowState::show(quint32 window, WindowState state) {
    const quint32 wmState = atom("_NET_WM_STATE");
    switch (state) {
    case WindowState::Maximized:
        sendToRoot(window, wmState,
                   {StateAdd, atom("_NET_WM_STATE_MAXIMIZED_VERT"),
                    atom("_NET_WM_STATE_MAXIMIZED_HORZ"), SourceApplication});
        break;
    case WindowState::Hidden:
        // The nearest a window manager offers to a hidden window: out of the taskbar and
        // the pager, and minimized.
        sendToRoot(window, wmState,
                   {StateAdd, atom("_NET_WM_STATE_SKIP_TASKBAR"), atom("_NET_WM_STATE_SKIP_PAGER"),
                    SourceApplication});
        sendToRoot(window, atom("WM_CHANGE_STATE"), {IconicState});
        break;
    case WindowState::Minimized:
        sendToRoot(window, atom("WM_CHANGE_STATE"), {IconicState});
        break;
    case WindowState::Normal:
        break;
    }
    xcb_flush(connection_);
}

void X11WindowState::poll() {
    if (!connection_ || xcb_connection_has_error(connection_)) {
        waiting_.clear();
        timer_.stop();
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    std::erase_if(waiting_, [now](const Waiting& w) { return now >= w.giveUpAt; });
    if (!waiting_.empty()) {
        for (const quint32 window : topLevelWindows()) {
            const qint64 process = windowProcess(window);
            if (process <= 0)
                continue;
            const pid_t session = ::getsid(static_cast<pid_t>(process));
            const auto it = std::find_if(waiting_.begin(), waiting_.end(), [&](const Waiting& w) {
                return w.session == process || w.session == session;
            });
            if (it == waiting_.end())
                continue;
            show(window, it->state);
            waiting_.erase(it);
        }
    }
    if (waiting_.empty())
        timer_.stop();
}
