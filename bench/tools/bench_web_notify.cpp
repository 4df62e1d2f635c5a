// A web notify check of 1 000 favourites against a server in this process on 127.0.0.1,
// with the results list (model, sort order and a view on the offscreen screen) and the
// trace as the window has them:
//   BM_WholeCheck/N      the whole check with N requests at once; pages/s, and the growth
//                        of the resident memory over the first check (rss_growth_MB)
//   BM_WaitingOnSlowServers/N   N requests waiting on a server that never answers: the
//                        share of a core the program uses meanwhile (cpu_percent)

#include "core/clock.h"
#include "core/map_settings_store.h"
#include "core/regional.h"
#include "core/settings.h"
#include "gui_benchmarks.h"
#include "tools/web_notify_models.h"
#include "tools/web_notify_run.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>

namespace {

constexpr int Favourites = 1000;

// Answers every request with a page of about 4 KB and closes, or never answers.
class PageServer : public QObject {
public:
    explicit PageServer(bool answer) : answer_(answer) {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* client = server_.nextPendingConnection()) {
                connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
                connect(client, &QTcpSocket::readyRead, client, [this, client] {
                    if (!client->peek(client->bytesAvailable()).contains("\r\n\r\n") || !answer_)
                        return;
                    client->readAll();
                    client->write(page_);
                    client->disconnectFromHost();
                });
            }
        });
        page_ = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n"
                "Last-Modified: Tue, 05 Mar 2024 10:20:30 GMT\r\n\r\n<html><body>" +
                QByteArray(4000, 'x') + "</body></html>";
    }
    quint16 port() const { return server_.serverPort(); }

private:
    QTcpServer server_;
    bool answer_;
    QByteArray page_;
};

QList<WebNotifyPage> pages(quint16 port) {
    QList<WebNotifyPage> out;
    for (int i = 0; i < Favourites; ++i) {
        const QString url = QStringLiteral("http://127.0.0.1:%1/page%2.htm").arg(port).arg(i);
        out.append({QStringLiteral("Page %1").arg(i), url, QStringLiteral("/f/%1.url").arg(i)});
    }
    return out;
}

double residentMegabytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * 4096.0 / (1024.0 * 1024.0);
}

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// The check as the window has it: the engine, its results list and a view of it.
struct Check {
    explicit Check(int simultaneousIndex) {
        settings.Simultaneous_Connections = simultaneousIndex;
        view.setModel(&sort);
        view.resize(600, 400);
        view.show();
    }
    QTemporaryDir folder;
    MapSettingsStore store;
    SystemClock clock;
    RegionalSettings regional = RegionalSettings::english();
    typSettings settings;
    WebNotifyRun run{store, clock, regional, folder.path()};
    ResultsModel model{run};
    WebNotifySort sort{&model, ResultsModel::Title, false};
    QTreeView view;
};

// Index 0 is 5 at once, 9 is 50.
int indexFor(int simultaneous) {
    return simultaneous / 5 - 1;
}

void BM_WholeCheck(benchmark::State& state) {
    PageServer server(true);
    Check check(indexFor(static_cast<int>(state.range(0))));
    const QList<WebNotifyPage> list = pages(server.port());
    const double before = residentMegabytes();
    double growth = -1;
    for (auto _ : state) {
        QEventLoop loop;
        QObject::connect(&check.run, &WebNotifyRun::finished, &loop, &QEventLoop::quit);
        check.run.go(list, check.settings);
        if (check.run.running())
            loop.exec();
        if (growth < 0)
            growth = residentMegabytes() - before;
    }
    int changed = 0;
    for (const WebNotifyResult& r : check.run.rows())
        changed += r.status == pagestatus::Updated;
    if (changed != Favourites)
        state.SkipWithError("not every page was checked");
    state.counters["pages_per_s"] = benchmark::Counter(
        static_cast<double>(Favourites), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["rss_growth_MB"] = growth;
}
BENCHMARK(BM_WholeCheck)
    ->Arg(5)
    ->Arg(50)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

void BM_WaitingOnSlowServers(benchmark::State& state) {
    PageServer server(false);
    Check check(indexFor(static_cast<int>(state.range(0))));
    check.run.go(pages(server.port()), check.settings);
    // Until every request is connected and waiting.
    QEventLoop settle;
    QTimer::singleShot(500, &settle, &QEventLoop::quit);
    settle.exec();
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const double cpuStart = cpuSeconds();
        QEventLoop wait;
        QTimer::singleShot(2000, &wait, &QEventLoop::quit);
        wait.exec();
        cpu += cpuSeconds() - cpuStart;
        wall += 2.0;
    }
    if (check.run.activeRequests() != static_cast<int>(state.range(0)))
        state.SkipWithError("the requests were not all waiting");
    state.counters["cpu_percent"] = 100.0 * cpu / wall;
    check.run.stop();
}
BENCHMARK(BM_WaitingOnSlowServers)
    ->Arg(5)
    ->Arg(50)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

} // namespace

int main(int argc, char** argv) {
    preferOffscreenPlatform();
    QApplication app(argc, argv);
    return runBenchmarks(argc, argv);
}
