// The log's entry dialogs on their own: the insert dialog's limits and its wall-clock times,
// the adjuster's cost box, and what closing them means.

#include "window_test_support.h"

#include "calllog/tfrm_insert_adjuster.h"
#include "calllog/tfrm_insert_log.h"
#include "core/debug_log.h"
#include "core/records.h"
#include "core/regional.h"
#include "manual_clock.h"
#include "tariff/tariff_context.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <gtest/gtest.h>

#include <ctime>

namespace {

class EntryDialogs : public ::testing::Test {
protected:
    typCallLogInformation entry{datetime::encode(2024, 3, 10, 20),
                                datetime::encode(2024, 3, 10, 20),
                                0,
                                0,
                                0,
                                0,
                                0,
                                "Mobile",
                                "anna",
                                0};
    RegionalSettings regional = RegionalSettings::english();
    ManualClock clock;
    DebugLog log{clock};
    CostingTable bands;
    CostingFurtherDetailTable details;
    TariffContext tariff{bands, details, regional, log, false};
    QStringList connectoids{"Home ISP", "Mobile", "Unknown/Other"};
};

void setFinish(QDialog& d, const QDate& day, const QTime& at) {
    d.findChild<QDateEdit*>("dtPickerFinishDate")->setDate(day);
    d.findChild<QTimeEdit*>("dtPickerFinishTime")->setTime(at);
}

} // namespace

TEST_F(EntryDialogs, OkOnlyForACallOfAtMostFiveDays) {
    TfrmInsertLog d(entry, "Insert Log Entry", connectoids, tariff, regional);
    EXPECT_EQ(d.windowTitle(), "Insert Log Entry");
    EXPECT_EQ(d.findChild<QComboBox*>("cboConnectoidName")->currentText(), "Mobile");
    auto* ok = d.findChild<QPushButton*>("cmdOK");
    const struct {
        QDate day;
        QTime at;
        bool enabled;
    } cases[] = {
        {{2024, 3, 10}, {20, 0}, true},     // no length at all
        {{2024, 3, 15}, {20, 0}, true},     // exactly five days
        {{2024, 3, 15}, {20, 0, 1}, false}, // five days and a second
        {{2024, 3, 10}, {19, 59, 59}, false}, {{2024, 3, 12}, {8, 15, 30}, true},
    };
    for (const auto& c : cases) {
        setFinish(d, c.day, c.at);
        EXPECT_EQ(ok->isEnabled(), c.enabled)
            << c.day.toString().toStdString() << " " << c.at.toString().toStdString();
    }
    // A connectoid not offered any more goes under "Unknown/Other".
    entry.Connectoid_Name = "Old ISP";
    TfrmInsertLog other(entry, "Properties", connectoids, tariff, regional);
    EXPECT_EQ(other.findChild<QComboBox*>("cboConnectoidName")->currentText(), "Unknown/Other");
}

TEST_F(EntryDialogs, TimesAreKeptAsTypedWhereTheClockSkipsAnHour) {
    const QByteArray savedZone = qgetenv("TZ");
    qputenv("TZ", "Europe/London");
    tzset();
    TfrmInsertLog d(entry, "Insert Log Entry", connectoids, tariff, regional);
    // 01:30 on 31 March 2024 never happened in London: the clocks went from 01:00 to 02:00.
    d.findChild<QDateEdit*>("dtPickerStartDate")->setDate({2024, 3, 31});
    d.findChild<QTimeEdit*>("dtPickerStartTime")->setTime({1, 30});
    setFinish(d, {2024, 3, 31}, {3, 0});
    press(&d, "cmdOK");
    qputenv("TZ", savedZone);
    tzset();
    const double day = QDate(1899, 12, 30).daysTo(QDate(2024, 3, 31));
    EXPECT_EQ(entry.Start, day + 1.5 / 24);
    EXPECT_EQ(entry.Finish, day + 3.0 / 24);
    EXPECT_EQ(entry.Mode, 0);
}

TEST_F(EntryDialogs, ClosingOrCancellingLeavesModeMinusOne) {
    for (const auto close : {+[](QDialog& d) { d.close(); }, +[](QDialog& d) { d.reject(); },
                             +[](QDialog& d) { press(&d, "cmdCancel"); }}) {
        entry.Mode = 0;
        TfrmInsertLog d(entry, "Insert Log Entry", connectoids, tariff, regional);
        d.show();
        close(d);
        EXPECT_EQ(entry.Mode, -1);
        entry.Mode = 0;
        TfrmInsertAdjuster a(entry, "Insert Adjuster", regional);
        a.show();
        close(a);
        EXPECT_EQ(entry.Mode, -1);
    }
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
    EXPECT_EQ(entry.Finish, entry.Start);

    TfrmInsertAdjuster typed(entry, "Insert Adjuster", regional);
    cost = typed.findChild<QLineEdit*>("txtCost");
    cost->clear();
    typeText(cost, "-1x2,5");
    EXPECT_EQ(cost->text(), "12,5");
    press(&typed, "cmdOK"); // Return presses OK without leaving the box
    EXPECT_EQ(cost->text(), "12.50");
    EXPECT_EQ(entry.Cost_Inc, 12.5);

    TfrmInsertAdjuster invalid(entry, "Insert Adjuster", regional);
    cost = invalid.findChild<QLineEdit*>("txtCost");
    cost->setText(",");
    press(&invalid, "cmdOK");
    EXPECT_EQ(cost->text(), "0");
    EXPECT_EQ(entry.Cost_Inc, 0);
}
