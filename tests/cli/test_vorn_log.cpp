// vorn-log over the hand-built log: its figures and files against the log window's, its
// date filters, repricing, errors, and the real program.

#include "calllog/call_log_export.h"
#include "calllog/call_log_statistics.h"
#include "calllog/call_log_texts.h"
#include "calllog/connectoid_list.h"
#include "cli/vorn_log_command.h"
#include "core/ini_settings_store.h"
#include "core/settings_io.h"
#include "hand_built_call_log.h"
#include "manual_clock.h"
#include "tariff/presets.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The numbers at dotted paths of a JSON document ("calls.0.cost_inc"); -1 where none is.
QList<double> numbers(const QJsonValue& json, const QStringList& paths) {
    QList<double> out;
    for (const QString& path : paths) {
        QJsonValue v = json;
        for (const QString& key : path.split(u'.')) {
            bool index = false;
            const int i = key.toInt(&index);
            v = index ? v[i] : v[key];
        }
        out << v.toDouble(-1);
    }
    return out;
}

// vorn-log over the hand-built log in a program folder, the settings priced by BT Standard.
class VornLog : public ::testing::Test {
protected:
    VornLog() {
        clock.setNow(handbuilt::now());
        handbuilt::writeLog(logs);
        IniSettingsStore store(config);
        typLists lists;
        FillPresetBTStandard(lists.Costings, lists.CostingFurtherDetails);
        SaveCostings(store, lists.Costings, RegionalSettings::english());
        SaveCostingFurtherDetails(store, lists.CostingFurtherDetails);
        store.sync();
    }

    struct Result {
        int code;
        QString out, err;
        QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
    };
    // With the home and settings of the fixture and its dial-up entries.
    Result run(QStringList arguments, bool phonebook = true) const {
        arguments << "--home" << home << "--config" << config;
        for (const QString& name : handbuilt::phonebook().slots)
            if (phonebook && !name.isEmpty())
                arguments << "--entry" << name;
        return runBare(arguments);
    }
    // What the log window computes for the same log.
    CallLogTable table() const {
        return CallLogTable::load(log, ConnectoidGrouping(handbuilt::phonebook()));
    }
    Result runBare(const QStringList& arguments) const {
        Result r;
        QTextStream out(&r.out), err(&r.err);
        r.code =
            runVornLog(arguments, {{}, clock, RegionalSettings::english(), QLocale::c()}, out, err);
        return r;
    }

    QTemporaryDir dir;
    QString home = dir.filePath("home");
    QString logs = home + "/Logs";
    QString log = calllog::logFilePath(logs);
    QString config = dir.filePath("VORN.conf");
    ManualClock clock;
    CallLogTexts texts{RegionalSettings::english(), 0, 0, QLocale::c()};
};

TEST_F(VornLog, StatsAreTheWindowsFigures) {
    const CallLogFigures window =
        selectCalls(table(), ConnectoidFilter::all(), handbuilt::now()).figures;
    const Result r = run({"stats", "--json"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonObject stats = r.json();
    EXPECT_EQ(numbers(stats, {"calls", "total.data_bytes", "days", "months.0.data_bytes",
                              "other.full_days", "other.projected_calls.year",
                              "other.modes.recovered", "other.removed_records",
                              "other.total_records", "other.wasted_space_percent"}),
              QList<double>({7, 4300183551, 60, 1536000, 61, 42, 1, 2, 9, 22}));
    const auto year = window.projection(365), week = window.projection(7);
    EXPECT_EQ(
        numbers(stats, {"total.length_seconds", "total.cost_exc", "total.cost_inc", "discount",
                        "earliest_start_days", "projections.0.days", "projections.0.cost_exc",
                        "projections.3.cost_inc", "projections.3.data_bytes"}),
        QList<double>({window.totalLength * 86400, window.totalCostExc, window.totalCostInc,
                       window.discount(), window.earliestStart, 7, week.costExc, year.costInc,
                       double(qint64(year.data))}));
    QStringList shown;
    for (const QJsonValue& m : stats["months"].toArray())
        shown << m["month"].toString() + " " + m["name"].toString();
    shown << stats["earliest_start"].toString() << stats["last_finish"].toString()
          << stats["projections"][3]["period"].toString();
    EXPECT_EQ(shown,
              QStringList({"2024-01 January 2024", "2024-02 February 2024", "2024-03 March 2024",
                           "2024-01-31T23:50:00", "2024-03-10T20:30:00", "year"}));

    // A filter: its own figures, no other statistics. Without the entries "Old ISP" is a
    // connectoid of its own and Unknown/Other is empty.
    const Result one = run({"stats", "--json", "--connectoid", "Unknown/Other"});
    EXPECT_EQ(one.json()["calls"].toInt(), 1);
    EXPECT_FALSE(one.json().contains("other"));
    EXPECT_EQ(run({"stats", "--json", "--connectoid", "Old ISP"}, false).json()["calls"].toInt(),
              1);

    // The text shows the window's rows, without the separator row.
    const Result text = run({"stats"});
    EXPECT_TRUE(text.out.startsWith("Call Statistics - All\n\n"));
    for (const QList<QStringList>& rows : {texts.statisticsRows(window), texts.headingRows(window),
                                           texts.otherStatisticsRows(window)})
        for (const QStringList& row : rows)
            EXPECT_EQ(text.out.contains(row.last()), !row.front().startsWith('*'))
                << row.join(" | ").toStdString();
}

TEST_F(VornLog, ExportsAreTheWindowsFiles) {
    const CallLogTable table = this->table();
    const ConnectoidFilter homeIsp = ConnectoidFilter::named("Home ISP");
    const CallLogFigures figures = selectCalls(table, homeIsp, handbuilt::now()).figures;
    for (const auto& [kind, bytes] :
         {std::pair{"detail", logexport::detailBytes(table, homeIsp, texts)},
          {"projections", logexport::projectionsBytes(texts.headingRows(figures))},
          {"usage", logexport::usageBytes(texts.statisticsRows(figures))}}) {
        const QString target = dir.filePath(kind + QString(".txt"));
        EXPECT_EQ(run({"export", kind, target, "--connectoid", "Home ISP"}).code, 0);
        EXPECT_EQ(fileBytes(target), bytes) << kind;
    }
}

TEST_F(VornLog, ListsByDateWithInclusiveEdges) {
    const auto records = [this](const QStringList& dates) {
        QList<int> found;
        for (const QJsonValue& call :
             run(QStringList{"list", "--json"} + dates).json()["calls"].toArray())
            found << call["record"].toInt();
        return found;
    };
    EXPECT_EQ(records({}), QList<int>({7, 6, 5, 4, 3, 1, 8})); // newest first, undated last
    EXPECT_EQ(records({"--from", "2024-02-10", "--to", "2024-02-20"}), QList<int>({4, 3}));
    EXPECT_EQ(records({"--from", "2024-02-10 10:00:01", "--to", "2024-02-20"}), QList<int>({4}));
    EXPECT_EQ(records({"--to", "2024-02-20 07:59"}), QList<int>({3, 1}));
    EXPECT_EQ(records({"--to", "2024-02-20 08:00"}), QList<int>({4, 3, 1}));
    EXPECT_EQ(records({"--from", "2024-03-01", "--to", "2024-03-01T00:00:00"}), QList<int>({5}));
    EXPECT_EQ(records({"--from", "2024-03-11"}), QList<int>());

    // The first Home ISP call and the garbage one.
    const QJsonValue calls = run({"list", "--json", "--connectoid", "Home ISP"}).json()["calls"];
    EXPECT_EQ(QStringList({calls[0]["start"].toString(), calls[0]["finish"].toString(),
                           calls[0]["mode_text"].toString()}),
              QStringList({"2024-01-31T23:50:00", "2024-02-01T00:20:00", "Auto"}));
    EXPECT_NEAR(calls[0]["length_seconds"].toDouble(), 1800, 1e-6);
    EXPECT_EQ(numbers(calls, {"0.cost_inc", "1.cost_exc"}), QList<double>({0.45, 0}));
    EXPECT_TRUE(calls[1]["start"].isNull());

    EXPECT_EQ(
        run({"list", "--csv", "--connectoid", "Work \"VPN\""}).out,
        R"x("Start","Finish","Length","Cost (inc.)","Cost (exc.)","Data","Connect Speed","Mode","Connectoid","User")x"
        "\r\n"
        R"x("10/03/2024 20:00:00","10/03/2024 20:30:00","00:00:30:00","£0.30","£0.30","512.00KB","28800","Edit","Work ""VPN""","anna")x"
        "\r\n");
    const QStringList text = run({"list"}).out.split('\n');
    EXPECT_TRUE(text[0].startsWith("Start  ")) << text[0].toStdString();
    EXPECT_EQ(text[1].indexOf("10/03/2024 20:30:00"), text[0].indexOf("Finish"));
}

TEST_F(VornLog, RepricesAgainstHandPricedCalls) {
    using datetime::encode;
    // BT Standard: 3.95p a minute on weekdays 08:00-17:59, 1.49p in the evening, 1p at the
    // weekend, 5p at least; every started second costs. Friends and Family takes 10 % off,
    // the minimum included.
    const auto call = [](TDateTime start, double seconds, qint32 mode, double recorded) {
        return typCallLogInformation{
            start, start + seconds / 86400, recorded, recorded, mode, 0, 0, "Home ISP", "anna", 0};
    };
    handbuilt::writeLog(
        logs,
        {
            call(encode(2024, 3, 4, 10, 0, 0, 250), 630.5, ModeAuto, 0.4),  // Monday: 631 s
            call(encode(2024, 3, 9, 20, 0, 0, 250), 20.5, ModeAuto, 0.05),  // Saturday: minimum
            call(encode(2024, 3, 5, 21, 0, 0, 250), 1200.5, ModeEdit, 0.3), // Tuesday evening
            call(encode(2024, 3, 6, 12, 0, 0, 0), 0, ModeAdjust, -1.5),     // kept as recorded
        });
    const double day = 631 * 0.0395 / 60, weekend = 0.05, evening = 1201 * 0.0149 / 60;
    const Result r = run({"reprice", "--json", "--preset", "bt-standard", "--preset", "bt-ff"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonObject json = r.json();
    EXPECT_EQ(json["calls"].toArray().size(), 4);
    const double expected[4] = {weekend, -1.5, evening, day}; // newest first
    for (int i = 0; i < 4; ++i) {
        const QList<double> costs =
            numbers(json["calls"][i], {"costs.0.cost_inc", "costs.1.cost_inc"});
        EXPECT_NEAR(costs[0], expected[i], 1e-9) << i;
        EXPECT_NEAR(costs[1], expected[i] < 0 ? -1.5 : expected[i] * 0.9, 1e-9) << i;
    }
    EXPECT_NEAR(json["totals"][0]["cost_inc"].toDouble(), day + weekend + evening - 1.5, 1e-9);
    EXPECT_NEAR(json["totals"][1]["difference_inc"].toDouble(),
                (day + weekend + evening) * 0.9 - 1.5 - (0.4 + 0.05 + 0.3 - 1.5), 1e-9);
    EXPECT_EQ(json["cheapest"].toString(), "bt-ff");

    // The settings' own bands are BT Standard; every preset is offered.
    const QJsonObject all =
        run({"reprice", "--json", "--totals", "--all-presets", "--preset", "current"}).json();
    EXPECT_FALSE(all.contains("calls"));
    EXPECT_EQ(all["totals"].toArray().size(), 8);
    EXPECT_EQ(all["totals"][0]["cost_inc"].toDouble(), all["totals"][1]["cost_inc"].toDouble());
    EXPECT_TRUE(run({"reprice", "--totals"}).out.contains("Cheapest: current"));
}

TEST_F(VornLog, ErrorsAndHelp) {
    const QByteArray settingsBefore = fileBytes(config), logBefore = fileBytes(log);
    // The exit code and what the error output says.
    for (const auto& [arguments, code, message] :
         {std::tuple{QStringList{"stats", "--bogus"}, 2, QString("unknown option --bogus")},
          {{"frobnicate"}, 2, "unknown command"},
          {{"stats", "--from", "2024-01-01"}, 2, "stats takes no --from"},
          {{"list", "--from", "2024-02-30"}, 2, "not a date"},
          {{"list", "--json", "--csv"}, 2, "exclude each other"},
          {{"export", "detail"}, 2, "a kind and a file"},
          {{"export", "summary", "x.txt"}, 2, "detail, projections or usage"},
          {{"stats", "--connectoid", "Nowhere"}, 2, "\"Home ISP\", \"Mobile\""},
          {{"reprice", "--preset", "cheap"}, 2, "current, bt-standard"},
          {{"stats", "--home", "/nonexistent/vorn"}, 1, "/nonexistent/vorn/Logs/log070.bin"},
          {{"stats", "--config", "/nonexistent/VORN.conf"}, 1, "/nonexistent/VORN.conf"},
          {{"export", "usage", "/nonexistent/folder/usage.txt"}, 1, "/nonexistent/folder"},
          {{"export", "detail", log}, 1, log}}) { // the call log itself is refused
        // A later --home or --config wins over the fixture's.
        const Result r = runBare(QStringList{"--home", home, "--config", config} + arguments);
        EXPECT_EQ(r.code, code) << arguments.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(message)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    }
    EXPECT_EQ(runBare({}).code, 2);
    EXPECT_TRUE(runBare({"--help"}).out.contains("reprice"));
    EXPECT_TRUE(runBare({"stats", "--help"}).out.contains("wasted_space_percent"));
    EXPECT_TRUE(runBare({"help", "reprice"}).out.contains("italia-discounted"));
    EXPECT_EQ(fileBytes(config), settingsBefore); // read, never written
    EXPECT_EQ(fileBytes(log), logBefore);
}

TEST_F(VornLog, TheProgramTakesItsFilesFromTheEnvironment) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VORN_HOME", home);
    environment.insert("VORN_CONFIG", config);
    process.setProcessEnvironment(environment);
    process.start(VORN_LOG_PROGRAM, {"stats", "--json"});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(process.readAllStandardOutput())["calls"].toInt(), 7);
    process.start(VORN_LOG_PROGRAM, {"list", "--to", "tomorrow"});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 2);
}

} // namespace
