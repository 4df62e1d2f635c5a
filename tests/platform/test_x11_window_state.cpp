#include "platform/shell.h"
#include "platform/x11_window_state.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <poll.h>
#include <sys/prctl.h>
#include <xcb/xcb.h>

namespace {

// A private Xvfb display on which the test itself plays the window manager: it owns the
// root window's substructure redirect, keeps _NET_CLIENT_LIST and receives the requests.
class FakeWindowManager : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
            GTEST_SKIP() << "Xvfb is not installed";
        server.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        server.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                              QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QByteArray printed;
        const QDeadlineTimer deadline(20000);
        while (!printed.contains('\n') && !deadline.hasExpired() &&
               server.state() != QProcess::NotRunning) {
            server.waitForReadyRead(100);
            printed += server.readAllStandardOutput();
        }
        ASSERT_TRUE(printed.contains('\n')) << "Xvfb did not start";
        display = u':' + QString::fromLatin1(printed.trimmed());

        wm = xcb_connect(display.toLatin1().constData(), nullptr);
        ASSERT_FALSE(xcb_connection_has_error(wm));
        root = xcb_setup_roots_iterator(xcb_get_setup(wm)).data->root;
        const uint32_t mask =
            XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        ASSERT_EQ(xcb_request_check(
                      wm, xcb_change_window_attributes_checked(wm, root, XCB_CW_EVENT_MASK, &mask)),
                  nullptr);
    }

    void TearDown() override {
        for (pid_t pid : sessions)
            ::kill(-pid, SIGKILL);
        if (wm)
            xcb_disconnect(wm);
        server.kill();
        server.waitForFinished(5000);
    }

    xcb_atom_t atom(const char* name) {
        auto* reply = xcb_intern_atom_reply(
            wm, xcb_intern_atom(wm, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return result;
    }

    // A managed top-level window that says it belongs to the process.
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

    // The next request sent to the window manager, if one comes in time. Requests are sent
    // before this is called, so a short wait is enough to see that none came.
    std::optional<xcb_client_message_event_t> nextRequest(int waitMs = 5000) {
        const QDeadlineTimer deadline(waitMs);
        while (!deadline.hasExpired()) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(wm)) {
                const bool request = (event->response_type & 0x7f) == XCB_CLIENT_MESSAGE;
                xcb_client_message_event_t message{};
                if (request)
                    std::memcpy(&message, event, sizeof message);
                std::free(event);
                if (request)
                    return message;
            }
            pollfd fd{xcb_get_file_descriptor(wm), POLLIN, 0};
            ::poll(&fd, 1, static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
        }
        return std::nullopt;
    }

    // A program started in a session of its own that opens no window itself; returns its
    // session and the id of a child it launched, as a launcher script would.
    std::pair<qint64, qint64> launcher(LinuxShell& shell) {
        const QString childFile = dir.filePath(QString::number(sessions.size()));
        const StartedProgram started = shell.startProgram(
            QStringLiteral("/bin/sh"),
            {QStringLiteral("-c"),
             QStringLiteral("sleep 30 & echo $! > '%1.tmp'; mv '%1.tmp' '%1'; wait")
                 .arg(childFile)},
            {}, WindowState::Normal);
        EXPECT_NE(started.processId, 0);
        sessions.push_back(static_cast<pid_t>(started.processId));
        QFile file(childFile);
        const QDeadlineTimer deadline(10000);
        while (!file.exists() && !deadline.hasExpired())
            QThread::msleep(10);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return {started.processId, file.readAll().trimmed().toLongLong()};
    }

    QProcess server;
    QString display;
    xcb_connection_t* wm = nullptr;
    xcb_window_t root = 0;
    std::vector<xcb_window_t> managed;
    std::vector<pid_t> sessions;
    QTemporaryDir dir;
};

TEST_F(FakeWindowManager, TheFirstWindowOfTheProgramsSessionIsShownAsAsked) {
    LinuxShell shell;
    const auto [session, child] = launcher(shell);
    ASSERT_GT(child, 0);
    windowOf(::getpid()); // somebody else's window
    const xcb_window_t window = windowOf(child);

    X11WindowState states(display);
    ASSERT_TRUE(states.isConnected());
    states.apply(session, WindowState::Maximized);
    states.poll();
    EXPECT_EQ(states.pending(), 0);

    const auto request = nextRequest();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->window, window);
    EXPECT_EQ(request->type, atom("_NET_WM_STATE"));
    EXPECT_EQ(request->format, 32);
    EXPECT_EQ(request->data.data32[0], 1u); // add
    EXPECT_EQ(request->data.data32[1], atom("_NET_WM_STATE_MAXIMIZED_VERT"));
    EXPECT_EQ(request->data.data32[2], atom("_NET_WM_STATE_MAXIMIZED_HORZ"));
    EXPECT_FALSE(nextRequest(500)) << "one window, one request";
}

TEST_F(FakeWindowManager, MinimizedAndHidden) {
    LinuxShell shell;
    X11WindowState states(display);
    const auto minimized = launcher(shell);
    const xcb_window_t first = windowOf(minimized.second);
    states.apply(minimized.first, WindowState::Minimized);
    states.poll();
    auto request = nextRequest();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->window, first);
    EXPECT_EQ(request->type, atom("WM_CHANGE_STATE"));
    EXPECT_EQ(request->data.data32[0], 3u); // IconicState

    const auto hidden = launcher(shell);
    const xcb_window_t second = windowOf(hidden.second);
    states.apply(hidden.first, WindowState::Hidden);
    states.poll();
    request = nextRequest();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->window, second);
    EXPECT_EQ(request->type, atom("_NET_WM_STATE"));
    EXPECT_EQ(request->data.data32[1], atom("_NET_WM_STATE_SKIP_TASKBAR"));
    request = nextRequest();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->type, atom("WM_CHANGE_STATE"));
}

TEST_F(FakeWindowManager, NothingIsAskedForNormalOrForAProgramWithoutAWindow) {
    LinuxShell shell;
    const auto program = launcher(shell);
    X11WindowState states(display, std::chrono::milliseconds(0));
    states.apply(program.first, WindowState::Normal);
    EXPECT_EQ(states.pending(), 0);

    states.apply(program.first, WindowState::Maximized);
    EXPECT_EQ(states.pending(), 1);
    states.poll(); // no window, and no patience left
    EXPECT_EQ(states.pending(), 0);
    windowOf(program.second);
    states.poll();
    EXPECT_FALSE(nextRequest(500));
}

TEST(X11WindowStateWithoutDisplay, DoesNothing) {
    X11WindowState states(QStringLiteral(":4095"));
    EXPECT_FALSE(states.isConnected());
    states.apply(1234, WindowState::Maximized);
    EXPECT_EQ(states.pending(), 0);
    states.poll();
}

} // namespace
