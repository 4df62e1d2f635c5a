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

#include <QDir>
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
        QString out;
        QString err;
        QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
    };
    // With the home and settings of the fixture and its dial-up entries.
    Result run(QStringList arguments, bool phonebook = true) const {
        arguments << "--home" << home << "--config" << config;
        if (phonebook)
            for (const QString& name : handbuilt::phonebook().slots)
                if (!name.isEmpty())
                    arguments << "--entry" << name;
        return runBare(arguments);
    }
    Result runBare(const QStringList& arguments) const {
        Result r;
        QTextStream out(&r.out);
        QTextStream err(&r.err);
        r.code =
            runVornLog(arguments, {{}, clock, RegionalSettings::english(), QLocale::c()}, out, err);
        return r;
    }
    // What the log window computes for the same log.
    CallLogTable windowTable() const {
        return CallLogTable::load(calllog::logFilePath(logs),
                                  ConnectoidGrouping(handbuilt::phonebook()));
    }

    QTemporaryDir dir;
    QString home = dir.filePath("home");
    QString logs = home + "/Logs";
    QString config = dir.filePath("VORN.conf");
    ManualClock clock;
    CallLogTexts texts{RegionalSettings::english(), 0, 0, QLocale::c()};
};

TEST_F(VornLog, StatsAreTheWindowsFigures) {
    const CallLogFigures window =
        selectCalls(windowTable(), ConnectoidFilter::all(), handbuilt::now()).figures;
    const Result r = run({"stats", "--json"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonObject stats = r.json();
    EXPECT_TRUE(stats["connectoid"].isNull());
    EXPECT_EQ(stats["calls"].toInt(), 7);
    const QJsonObject total = stats["total"].toObject();
    EXPECT_DOUBLE_EQ(total["length_seconds"].toDouble(), window.totalLength * 86400);
    EXPECT_NEAR(total["length_seconds"].toDouble(), 10530, 1e-6);
    EXPECT_DOUBLE_EQ(total["cost_exc"].toDouble(), window.totalCostExc);
    EXPECT_DOUBLE_EQ(total["cost_inc"].toDouble(), window.totalCostInc);
    EXPECT_EQ(total["data_bytes"].toInteger(), 4300183551);
    EXPECT_DOUBLE_EQ(stats["discount"].toDouble(), window.discount());
    EXPECT_EQ(stats["earliest_start"].toString(), "2024-01-31T23:50:00");
    EXPECT_DOUBLE_EQ(stats["earliest_start_days"].toDouble(), window.earliestStart);
    EXPECT_EQ(stats["last_finish"].toString(), "2024-03-10T20:30:00");
    EXPECT_EQ(stats["days"].toInt(), 60);

    const QJsonArray projections = stats["projections"].toArray();
    ASSERT_EQ(projections.size(), 4);
    for (int i = 0; i < 4; ++i) {
        const QJsonObject p = projections[i].toObject();
        const auto expected = window.projection(CallLogFigures::ProjectionDays[size_t(i)]);
        EXPECT_EQ(p["days"].toInt(), CallLogFigures::ProjectionDays[size_t(i)]);
        EXPECT_DOUBLE_EQ(p["cost_exc"].toDouble(), expected.costExc);
        EXPECT_DOUBLE_EQ(p["cost_inc"].toDouble(), expected.costInc);
        EXPECT_EQ(p["data_bytes"].toInteger(), qint64(expected.data));
    }
    EXPECT_EQ(projections[3].toObject()["period"].toString(), "year");

    QStringList months;
    for (const QJsonValue& m : stats["months"].toArray())
        months << m["month"].toString() + " " + m["name"].toString();
    EXPECT_EQ(months,
              QStringList({"2024-01 January 2024", "2024-02 February 2024", "2024-03 March 2024"}));
    EXPECT_EQ(stats["months"][0]["data_bytes"].toInteger(), 1536000);

    const QJsonObject other = stats["other"].toObject();
    EXPECT_EQ(other["full_days"].toInt(), 61);
    EXPECT_EQ(other["projected_calls"]["year"].toInt(), 42);
    EXPECT_EQ(other["modes"]["recovered"].toInt(), 1);
    EXPECT_EQ(other["removed_records"].toInt(), 2);
    EXPECT_EQ(other["total_records"].toInt(), 9);
    EXPECT_EQ(other["wasted_space_percent"].toInt(), 22);

    // A filter: its own figures, no other statistics.
    const Result one = run({"stats", "--json", "--connectoid", "Unknown/Other"});
    EXPECT_EQ(one.json()["calls"].toInt(), 1);
    EXPECT_FALSE(one.json().contains("other"));
    // Without the entries "Old ISP" is a connectoid of its own and Unknown/Other is empty.
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
    const CallLogTable table = windowTable();
    const ConnectoidFilter homeIsp = ConnectoidFilter::named("Home ISP");
    const CallLogFigures figures = selectCalls(table, homeIsp, handbuilt::now()).figures;
    const struct {
        QString kind;
        QByteArray bytes;
    } cases[] = {
        {"detail", logexport::detailBytes(table, homeIsp, texts)},
        {"projections", logexport::projectionsBytes(texts.headingRows(figures))},
        {"usage", logexport::usageBytes(texts.statisticsRows(figures))},
    };
    for (const auto& c : cases) {
        const QString target = dir.filePath(c.kind + ".txt");
        const Result r = run({"export", c.kind, target, "--connectoid", "Home ISP"});
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_EQ(fileBytes(target), c.bytes) << c.kind.toStdString();
    }
    const QByteArray log = fileBytes(calllog::logFilePath(logs));
    const Result refused = run({"export", "detail", calllog::logFilePath(logs)});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.err.contains(calllog::logFilePath(logs))) << refused.err.toStdString();
    EXPECT_EQ(fileBytes(calllog::logFilePath(logs)), log);
}

TEST_F(VornLog, ListsByDateWithInclusiveEdges) {
    const auto records = [this](const QStringList& dates) {
        QList<int> numbers;
        for (const QJsonValue& call :
             run(QStringList{"list", "--json"} + dates).json()["calls"].toArray())
            numbers << call["record"].toInt();
        return numbers;
    };
    EXPECT_EQ(records({}), QList<int>({7, 6, 5, 4, 3, 1, 8})); // newest first, undated last
    EXPECT_EQ(records({"--from", "2024-02-10", "--to", "2024-02-20"}), QList<int>({4, 3}));
    EXPECT_EQ(records({"--from", "2024-02-10 10:00:01", "--to", "2024-02-20"}), QList<int>({4}));
    EXPECT_EQ(records({"--to", "2024-02-20 07:59"}), QList<int>({3, 1}));
    EXPECT_EQ(records({"--to", "2024-02-20 08:00"}), QList<int>({4, 3, 1}));
    EXPECT_EQ(records({"--from", "2024-03-01", "--to", "2024-03-01T00:00:00"}), QList<int>({5}));
    EXPECT_EQ(records({"--from", "2024-03-11"}), QList<int>());

    const QJsonObject first =
        run({"list", "--json", "--connectoid", "Home ISP"}).json()["calls"][0].toObject();
    EXPECT_EQ(first["start"].toString(), "2024-01-31T23:50:00");
    EXPECT_EQ(first["finish"].toString(), "2024-02-01T00:20:00");
    EXPECT_NEAR(first["length_seconds"].toDouble(), 1800, 1e-6);
    EXPECT_DOUBLE_EQ(first["cost_inc"].toDouble(), 0.45);
    EXPECT_EQ(first["mode_text"].toString(), "Auto");
    const QJsonObject garbage =
        run({"list", "--json", "--connectoid", "Home ISP"}).json()["calls"][1].toObject();
    EXPECT_TRUE(garbage["start"].isNull());
    EXPECT_EQ(garbage["cost_exc"].toDouble(-1), 0);

    const Result csv = run({"list", "--csv", "--connectoid", "Work \"VPN\""});
    EXPECT_EQ(
        csv.out,
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
    EXPECT_EQ(json["tariffs"][1]["key"].toString(), "bt-ff");
    const QJsonArray calls = json["calls"].toArray();
    ASSERT_EQ(calls.size(), 4);
    const double expected[4][2] = {{weekend, weekend * 0.9},
                                   {-1.5, -1.5},
                                   {evening, evening * 0.9},
                                   {day, day * 0.9}}; // newest first
    for (int i = 0; i < 4; ++i)
        for (int t = 0; t < 2; ++t)
            EXPECT_NEAR(calls[i]["costs"][t]["cost_inc"].toDouble(), expected[i][t], 1e-9)
                << i << " " << t;
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
    const QByteArray settingsBefore = fileBytes(config);
    const struct {
        QStringList arguments;
        int code;
        QString message; // in the error output
    } cases[] = {
        {{"stats", "--bogus"}, 2, "unknown option --bogus"},
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
    };
    for (const auto& c : cases) {
        // A later --home or --config wins over the fixture's.
        QStringList arguments = {"--home", home, "--config", config};
        const Result r = runBare(arguments + c.arguments);
        EXPECT_EQ(r.code, c.code) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    }
    const Result help = runBare({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains("reprice")) << help.out.toStdString();
    EXPECT_TRUE(runBare({"stats", "--help"}).out.contains("wasted_space_percent"));
    EXPECT_TRUE(runBare({"help", "reprice"}).out.contains("italia-discounted"));
    EXPECT_EQ(runBare({}).code, 2);
    EXPECT_EQ(fileBytes(config), settingsBefore); // read, never written
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
