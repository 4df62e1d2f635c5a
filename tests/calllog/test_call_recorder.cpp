#include "calllog/call_log_file.h"
#include "calllog/call_recorder.h"
#include "calllog/in_out_error.h"
#include "core/debug_log.h"
#include "core/regional.h"
#include "manual_clock.h"
#include "memory_settings_store.h"
#include "scripted_prompts.h"
#include "tariff/call_costing.h"
#include "tariff/further_details.h"
#include "tariff/tariff_context.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString Key;
const TDateTime Noon = 45000.5;
const double OneSecondDays = 1.0 / 86400.0;

class CallRecorder : public ::testing::Test {
protected:
    CallRecorder() {
        // "Home" costs 0.6 a minute at any time with a 10 % discount; nothing else costs.
        costings[1] = {"Home", 0, 0.99999, 0, 0, 127, 0.6, 0};
        details[1] = {"Home", FurtherDetailOption::Discount, 0, 0, "10"};
    }
    // The last-call values in their order: start, finish, data, user, connectoid, speed.
    void setValues(const QStringList& values) {
        const QString names[] = {lastcall::Start,          lastcall::Finish,
                                 lastcall::DataTransfer,   lastcall::UserName,
                                 lastcall::ConnectoidName, lastcall::ConnectSpeed};
        for (qsizetype i = 0; i < values.size(); ++i)
            store.setValue(Key, names[i], values[i]);
    }
    QString text(TDateTime at) const { return datetime::floatToText(at, regional); }
    void record(bool recovered, bool autoDisconnected, quint32 speed = 56000,
                const QString& connectoid = "Home", const QString& user = "anna") {
        ProcessLogEntry(context, fileName, recovered, autoDisconnected, speed, connectoid, user);
    }
    // What start-up does.
    void recover() { record(true, false, 0, "Unknown/Other", "Unknown/Other"); }

    QList<typCallLogInformation> logged() const { return calllog::readAll(fileName); }
    typCallCostInformation priced(const QString& connectoid, TDateTime start, TDateTime finish) {
        typCallCostInformation cost;
        CalculateCost(tariff, connectoid, cost, start, finish);
        return cost;
    }
    // The last-call values are all the product key holds here.
    bool anyValueLeft() const { return !store.values(Key).isEmpty(); }
    QTemporaryDir dir;
    QString fileName = calllog::logFilePath(dir.path());
    MemorySettingsStore store;
    ScriptedPrompts prompts;
    ManualClock clock;
    DebugLog log{clock};
    RegionalSettings regional = RegionalSettings::english();
    CostingTable costings;
    CostingFurtherDetailTable details;
    TariffContext tariff{costings, details, regional, log, false};
    CallRecordingContext context{store, prompts, tariff};
};

} // namespace

TEST_F(CallRecorder, DisconnectRecordsThePricedCallAndDeletesTheValues) {
    const TDateTime finish = 45000.5078125; // 11 min 15 s later, exact in the stored text
    setValues({text(Noon), text(finish), "123456", "stored user", "Stored", "999"});
    record(false, false, 56000, "Home", "anna");
    // Auto-disconnected without a name or data; then names longer than their fields.
    setValues({text(Noon), text(Noon)});
    record(false, true, 28800, "", "anna");
    setValues({text(Noon), text(Noon + OneSecondDays)});
    record(false, false, 0, "A connectoid of 25 chars", QString(30, u'u'));

    const typCallCostInformation cost = priced("Home", Noon, finish);
    EXPECT_GT(cost.Without_Discount, cost.With_Discount);
    const auto entries = logged();
    ASSERT_EQ(entries.size(), 3);
    // The connectoid, user and speed are the arguments, not the stored values.
    EXPECT_EQ(entries.mid(0, 2),
              QList({typCallLogInformation{Noon, finish, cost.With_Discount, cost.Without_Discount,
                                           ModeAuto, 123456, 56000, "Home", "anna", 0},
                     {Noon, Noon, 0, 0, ModeDisconnected, 0, 28800, "Unknown/Other", "anna", 0}}));
    EXPECT_EQ(entries[2].Connectoid_Name, "A connectoid of 25 c");
    EXPECT_EQ(entries[2].User_Name, QString(25, u'u'));
    EXPECT_FALSE(anyValueLeft());
    EXPECT_GT(store.syncCount, 0);
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(CallRecorder, NothingPendingOrUnreadableTimesWriteNothingAndAskNothing) {
    log.setEnabled(true);
    recover(); // no values at all
    // Half a pair is no call either; the leftovers go in every case.
    const char* const cases[][2] = {{"45000.5", ""},      {"garbage", "45000.5"},
                                    {"45000.5", "1,2,3"}, {"1e400", "1e400"},
                                    {"nan", "nan"},       {"9e9", "9e9"}};
    for (const auto& [start, finish] : cases) {
        setValues({start, finish, "1", "u", "c", "2"});
        recover();
        EXPECT_FALSE(anyValueLeft()) << start << " " << finish;
    }
    EXPECT_FALSE(QFile::exists(fileName));
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_TRUE(std::any_of(log.lines().begin(), log.lines().end(), [](const QString& line) {
        return line.endsWith(
            "ProcessLogEntry - Last call values not understood = garbage -> 45000.5");
    }));
}

TEST_F(CallRecorder, FiveDaysIsTheLongestCallKept) {
    setValues({text(Noon), text(Noon + 5.0)});
    record(false, false);
    ASSERT_EQ(logged().size(), 1);
    EXPECT_EQ(logged()[0].Finish - logged()[0].Start, 5.0);

    const QString start = text(Noon), finish = text(Noon + 5.0 + OneSecondDays);
    setValues({start, finish});
    record(false, false);
    // A start after the finish is lost the same way, shown as stored.
    setValues({"45000.6", "45000,5"});
    recover();
    EXPECT_EQ(logged().size(), 1);
    EXPECT_FALSE(anyValueLeft());
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[0].kind, Prompts::Kind::Error);
    EXPECT_EQ(prompts.shown[0].buttons, Prompts::Buttons::Ok);
    EXPECT_EQ(prompts.shown[0].text,
              "Due to a problem the last session has not been saved to the log.\n\r\n\r"
              "VORN has attempted to recover these costs but it has been unsuccessful since "
              "the time interval between the two values is too large.\n\r\n\r"
              "Details of log entry lost :-\n\r\n\r" +
                  start + " -> " + finish);
    EXPECT_TRUE(prompts.shown[1].text.endsWith("45000.6 -> 45000,5"));
}

TEST_F(CallRecorder, RecoveryTakesTheCallFromTheStoredValuesBoundedToTheirFields) {
    setValues({text(Noon), text(Noon + 0.01), "2048", "carla", "Home", "33600"});
    record(true, true); // start-up never passes both, but recovery wins
    setValues({text(Noon + 1), text(Noon + 1.25)});
    recover(); // no user, connectoid or speed stored any more
    // A crash before the connectoid was known: an empty name, priced as such. Either decimal
    // separator reads under either locale.
    setValues({"45000,5", "45000.75", "0", "anna", "", "0"});
    regional = RegionalSettings::italian();
    recover();
    const auto cost = priced("Home", Noon, Noon + 0.01);
    ASSERT_GT(cost.Without_Discount, 0);
    EXPECT_EQ(
        logged(),
        QList({typCallLogInformation{Noon, Noon + 0.01, cost.With_Discount, cost.Without_Discount,
                                     ModeRecovered, 2048, 33600, "Home", "carla", 0},
               {Noon + 1, Noon + 1.25, 0, 0, ModeRecovered, 0, 0, "Unknown/Other", "Default", 0},
               {Noon, Noon + 0.25, 0, 0, ModeRecovered, 0, 0, "", "anna", 0}}));

    for (const auto& [data, expected] : {std::pair{"4294967295", 4294967295u},
                                         {"5000000000", 4294967295u},
                                         {"-5", 0u},
                                         {"12kB", 0u}}) {
        setValues({"45000.5", "45000.5", data, "u", "Home", "-3"});
        recover();
        EXPECT_EQ(std::pair(logged().last().Data, logged().last().Connect_Speed),
                  std::pair(expected, 0u))
            << data;
    }
    EXPECT_EQ(logged().size(), 7);
}

TEST_F(CallRecorder, AWriteFailureKeepsTheValuesForTheNextStart) {
    fileName = dir.filePath("gone/log070.bin");
    setValues({text(Noon), text(Noon + 0.01)});
    EXPECT_THROW(recover(), InOutError);
    EXPECT_TRUE(store.hasValue(Key, lastcall::Start));
    EXPECT_TRUE(store.hasValue(Key, lastcall::Finish));
}
