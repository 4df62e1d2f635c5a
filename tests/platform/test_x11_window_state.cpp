#include "platform/shell.h"
#include "platform/x11_window_state.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <optional>
#include <poll.h>
#include <sys/prctl.h>
#include <xcb/xcb.h>

namespace {

// A private Xvfb on which the test plays the window manager: it owns the root window's
// substructure redirect, keeps _NET_CLIENT_LIST, and so receives the requests.
class FakeWindowManager : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable("Xvfb").isEmpty())
            GTEST_SKIP() << "Xvfb is not installed";
        server.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        server.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp"});
        QByteArray printed;
        for (QDeadlineTimer deadline(20000); !printed.contains('\n') && !deadline.hasExpired();)
            if (server.waitForReadyRead(100))
                printed += server.readAllStandardOutput();
        ASSERT_TRUE(printed.contains('\n')) << "Xvfb did not start";
        display = ":" + QString::fromLatin1(printed.trimmed());
        wm = xcb_connect(display.toLatin1().constData(), nullptr);
        ASSERT_FALSE(xcb_connection_has_error(wm));
        root = xcb_setup_roots_iterator(xcb_get_setup(wm)).data->root;
        const uint32_t mask =
            XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(wm, root, XCB_CW_EVENT_MASK, &mask);
    }
    void TearDown() override {
        for (qint64 session : sessions)
            ::kill(-static_cast<pid_t>(session), SIGKILL);
        if (wm)
            xcb_disconnect(wm);
    }

    xcb_atom_t atom(const char* name) {
        auto* reply = xcb_intern_atom_reply(
            wm, xcb_intern_atom(wm, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        const xcb_atom_t result = reply->atom;
        std::free(reply);
        return result;
    }

    // A managed top-level window that names the process as its owner.
    xcb_window_t windowOf(qint64 process) {
        const xcb_window_t window = xcb_generate_id(wm);
        xcb_create_window(wm, XCB_COPY_FROM_PARENT, window, root, 0, 0, 100, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        const auto pid = static_cast<uint32_t>(process);
        xcb_change_property(wm, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_PID"),
                            XCB_ATOM_CARDINAL, 32, 1, &pid);
        managed.push_back(window);
        xcb_change_property(wm, XCB_PROP_MODE_REPLACE, root, atom("_NET_CLIENT_LIST"),
                            XCB_ATOM_WINDOW, 32, static_cast<uint32_t>(managed.size()),
                            managed.data());
        xcb_flush(wm);
        return window;
    }

    // The next request to the window manager. Requests are sent before this is called, so
    // a short wait shows that none came.
    std::optional<xcb_client_message_event_t> nextRequest(int waitMs = 5000) {
        for (QDeadlineTimer deadline(waitMs); !deadline.hasExpired();) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(wm)) {
                xcb_client_message_event_t message{};
                const bool request = (event->response_type & 0x7f) == XCB_CLIENT_MESSAGE;
                if (request)
                    std::memcpy(&message, event, sizeof message);
                std::free(event);
                if (request)
                    return message;
            }
            pollfd fd{xcb_get_file_descriptor(wm), POLLIN, 0};
            ::poll(&fd, 1, 50);
        }
        return std::nullopt;
    }

    // A launcher started in its own session, and the child of it that will own the window.
    std::pair<qint64, qint64> launcher(LinuxShell& shell) {
        const qint64 session =
            shell.startProgram("/bin/sh", {"-c", "sleep 30 & wait"}, {}, WindowState::Normal)
                .processId;
        sessions.push_back(session);
        QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(session));
        QByteArray child;
        for (QDeadlineTimer deadline(10000); child.isEmpty() && !deadline.hasExpired();
             QThread::msleep(10)) {
            children.open(QIODevice::ReadOnly);
            child = children.readAll().trimmed();
            children.close();
        }
        return {session, child.toLongLong()};
    }

    QProcess server;
    QString display;
    xcb_connection_t* wm = nullptr;
    xcb_window_t root = 0;
    std::vector<xcb_window_t> managed;
    std::vector<qint64> sessions;
};

TEST_F(FakeWindowManager, TheFirstWindowOfTheProgramsSessionGetsTheState) {
    LinuxShell shell;
    X11WindowState states(display);
    ASSERT_TRUE(states.isConnected());
    const auto [maximized, child] = launcher(shell);
    windowOf(::getpid()); // somebody else's window
    const xcb_window_t window = windowOf(child);
    states.apply(maximized, WindowState::Maximized);
    states.poll();
    auto request = nextRequest();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->window, window);
    EXPECT_EQ(request->type, atom("_NET_WM_STATE"));
    EXPECT_EQ(request->data.data32[0], 1u); // add
    EXPECT_EQ(request->data.data32[1], atom("_NET_WM_STATE_MAXIMIZED_VERT"));
    EXPECT_EQ(request->data.data32[2], atom("_NET_WM_STATE_MAXIMIZED_HORZ"));
    EXPECT_FALSE(nextRequest(300)) << "one window, one request";

    const auto minimized = launcher(shell);
    states.apply(minimized.first, WindowState::Normal); // asks nothing
    states.apply(minimized.first, WindowState::Minimized);
    EXPECT_EQ(states.pending(), 1);
    states.poll(); // no window yet: it waits
    EXPECT_EQ(states.pending(), 1);
    const xcb_window_t second = windowOf(minimized.second);
    states.poll();
    request = nextRequest();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->window, second);
    EXPECT_EQ(request->type, atom("WM_CHANGE_STATE"));
    EXPECT_EQ(request->data.data32[0], 3u); // IconicState
    EXPECT_EQ(states.pending(), 0);

    X11WindowState nowhere(":4095");
    EXPECT_FALSE(nowhere.isConnected());
    nowhere.apply(maximized, WindowState::Maximized);
    EXPECT_EQ(nowhere.pending(), 0);
}

} // namespace
