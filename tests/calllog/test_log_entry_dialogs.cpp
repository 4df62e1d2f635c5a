// The log's entry dialogs on their own: the insert dialog's limit and its wall-clock times,
// the adjuster's cost box, and what closing them means.

#include "window_test_support.h"

#include "calllog/tfrm_insert_adjuster.h"
#include "calllog/tfrm_insert_log.h"
#include "core/debug_log.h"
#include "core/records.h"
#include "core/regional.h"
#include "manual_clock.h"
#include "tariff/tariff_context.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <gtest/gtest.h>

#include <ctime>

namespace {

class EntryDialogs : public ::testing::Test {
protected:
    const TDateTime evening = datetime::encode(2024, 3, 10, 20);
    typCallLogInformation entry{evening, evening, 0, 0, 0, 0, 0, "Mobile", "anna", 0};
    RegionalSettings regional = RegionalSettings::english();
    ManualClock clock;
    DebugLog log{clock};
    CostingTable bands;
    CostingFurtherDetailTable details;
    TariffContext tariff{bands, details, regional, log, false};
    QStringList connectoids{"Home ISP", "Mobile", "Unknown/Other"};
};

void setPickers(QDialog& d, const char* which, const QDate& day, const QTime& at) {
    d.findChild<QDateEdit*>(QString("dtPicker%1Date").arg(which))->setDate(day);
    d.findChild<QTimeEdit*>(QString("dtPicker%1Time").arg(which))->setTime(at);
}

} // namespace

TEST_F(EntryDialogs, OkOnlyForACallOfAtMostFiveDaysAndTheCloseBoxCancels) {
    TfrmInsertLog d(entry, "Insert Log Entry", connectoids, tariff, regional);
    auto* ok = d.findChild<QPushButton*>("cmdOK");
    for (const auto& [day, at, enabled] :
         {std::tuple{QDate(2024, 3, 10), QTime(20, 0), true}, // no length at all
          {QDate(2024, 3, 15), QTime(20, 0), true},           // exactly five days
          {QDate(2024, 3, 15), QTime(20, 0, 1), false},       // and a second
          {QDate(2024, 3, 10), QTime(19, 59, 59), false}}) {
        setPickers(d, "Finish", day, at);
        EXPECT_EQ(ok->isEnabled(), enabled)
            << day.toString().toStdString() << " " << at.toString().toStdString();
    }
    d.show();
    d.close();
    EXPECT_EQ(entry.Mode, -1);
}

TEST_F(EntryDialogs, TimesAreKeptAsTypedWhereTheClockSkipsAnHour) {
    const QByteArray savedZone = qgetenv("TZ");
    qputenv("TZ", "Europe/London");
    tzset();
    TfrmInsertLog d(entry, "Insert Log Entry", connectoids, tariff, regional);
    // 01:30 on 31 March 2024 never happened in London: the clocks went from 01:00 to 02:00.
    setPickers(d, "Start", {2024, 3, 31}, {1, 30});
    setPickers(d, "Finish", {2024, 3, 31}, {3, 0});
    press(&d, "cmdOK");
    qputenv("TZ", savedZone);
    tzset();
    const double day = QDate(1899, 12, 30).daysTo(QDate(2024, 3, 31));
    EXPECT_EQ(entry.Start, day + 1.5 / 24);
    EXPECT_EQ(entry.Finish, day + 3.0 / 24);
    EXPECT_EQ(entry.Mode, 0);
}

TEST_F(EntryDialogs, TheCostBoxNeverGroupsAndObeysItsCharactersWhenPastedToo) {
    RegionalSettings yen = regional;
    yen.currencyDecimals = 0;
    entry.Cost_Inc = 1234;
    TfrmInsertAdjuster d(entry, "Properties", yen);
    auto* cost = d.findChild<QLineEdit*>("txtCost");
    EXPECT_EQ(cost->text(), "1234");
    press(&d, "cmdOK");
    EXPECT_EQ(entry.Cost_Inc, 1234);
    EXPECT_EQ(entry.Cost_Exc, 1234);

    TfrmInsertAdjuster typed(entry, "Insert Adjuster", regional);
    cost = typed.findChild<QLineEdit*>("txtCost");
    cost->clear();
    typeText(cost, "-1x2,5");
    EXPECT_EQ(cost->text(), "12,5");
    press(&typed, "cmdOK"); // Return presses OK without leaving the box
    EXPECT_EQ(cost->text(), "12.50");
    EXPECT_EQ(entry.Cost_Inc, 12.5);

    TfrmInsertAdjuster invalid(entry, "Insert Adjuster", regional);
    invalid.findChild<QLineEdit*>("txtCost")->setText(",");
    press(&invalid, "cmdOK");
    EXPECT_EQ(entry.Cost_Inc, 0);
    invalid.show();
    invalid.close();
    EXPECT_EQ(entry.Mode, -1);
}
