// The charge band editor: when OK may be pressed, the time boxes, the edit rules, and what
// OK and Cancel leave in the working record.

#include "config/tfrm_insert_costing.h"
#include "core/connectoid_names.h"
#include "core/datetime.h"
#include "core/regional.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Editor {
    explicit Editor(typCostingInformation record = FreshCostingRecord(), QStringList names = {})
        : working(std::move(record)) {
        table.fill(names);
        dialog = std::make_unique<TfrmInsertCosting>(working, "Insert Time Band", table, regional);
    }
    static typCostingInformation FreshCostingRecord() { return {}; }

    template <typename T> T* get(const char* name) {
        T* control = dialog->findChild<T*>(name);
        EXPECT_TRUE(control) << name;
        return control;
    }
    QSpinBox* time(const char* name) { return get<QSpinBox>(name); }
    bool okEnabled() { return get<QPushButton>("btnOK")->isEnabled(); }

    typCostingInformation working;
    ConnectoidNameTable table;
    RegionalSettings regional = RegionalSettings::english();
    std::unique_ptr<TfrmInsertCosting> dialog;
};

const char* const Times[] = {"txtStartHours",  "txtStartMinutes",  "txtStartSeconds",
                             "txtFinishHours", "txtFinishMinutes", "txtFinishSeconds"};

} // namespace

TEST(InsertCosting, OkNeedsADayAndATimeOtherThanMidnightToMidnight) {
    Editor e;
    EXPECT_EQ(e.dialog->windowTitle(), "Insert Time Band");
    EXPECT_EQ(e.get<QLineEdit>("txtEveryMinuteAdd")->text(), "0");
    EXPECT_FALSE(e.okEnabled());
    e.get<QCheckBox>("chkSaturday")->setChecked(true);
    EXPECT_FALSE(e.okEnabled()) << "00:00:00 to 00:00:00";
    e.time("txtFinishHours")->setValue(23);
    e.time("txtFinishMinutes")->setValue(59);
    e.time("txtFinishSeconds")->setValue(59);
    EXPECT_TRUE(e.okEnabled());
    e.get<QCheckBox>("chkSaturday")->setChecked(false);
    EXPECT_FALSE(e.okEnabled());
    e.get<QCheckBox>("chkSunday")->click();
    EXPECT_TRUE(e.okEnabled());
    for (const char* t : Times)
        e.time(t)->setValue(0);
    EXPECT_FALSE(e.okEnabled());
    for (const char* t : Times) {
        e.time(t)->setValue(1);
        EXPECT_TRUE(e.okEnabled()) << t;
        e.time(t)->setValue(0);
        EXPECT_FALSE(e.okEnabled()) << t;
    }
}

TEST(InsertCosting, TimeBoxesClampWhatIsTypedAndWrapTheArrows) {
    Editor e;
    QSpinBox* minutes = e.time("txtStartMinutes");
    QSpinBox* hours = e.time("txtStartHours");
    minutes->selectAll();
    QTest::keyClicks(minutes, "75");
    EXPECT_EQ(minutes->text(), "59");
    QTest::keyClick(minutes, Qt::Key_Backspace);
    QTest::keyClick(minutes, Qt::Key_Backspace);
    EXPECT_EQ(minutes->text(), "0") << "an emptied box reads 0";
    QTest::keyClicks(minutes, "x-");
    EXPECT_EQ(minutes->text(), "0");

    // Coming back to the window keeps what was typed.
    minutes->setValue(30);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(e.dialog.get(), &activate);
    EXPECT_EQ(minutes->text(), "30");

    hours->setValue(23);
    hours->stepUp();
    EXPECT_EQ(hours->text(), "0");
    hours->stepDown();
    EXPECT_EQ(hours->value(), 23);
    minutes->setValue(59);
    minutes->stepUp();
    EXPECT_EQ(minutes->value(), 0);
    e.time("txtFinishSeconds")->stepDown();
    EXPECT_EQ(e.time("txtFinishSeconds")->value(), 59);
}

TEST(InsertCosting, PropertiesShowTheRecordAndOkReadsTheControlsBack) {
    typCostingInformation band;
    band.Connectoid_Name = "Work";
    band.StartTime = datetime::encode(1899, 12, 30, 8, 5, 9);
    band.FinishTime = datetime::encode(1899, 12, 30, 17, 59, 59);
    band.Days = 2 | 32 | 64; // Monday, Friday, Saturday
    band.ChargePerMin = 0.0395;
    band.FreeMinutes = 10;
    band.Length_Start = 60;
    band.Length_Finish = 600;
    Editor e(band, {"Work", "Demo"});
    EXPECT_EQ(e.time("txtStartHours")->text(), "8");
    EXPECT_EQ(e.time("txtStartMinutes")->text(), "5");
    EXPECT_EQ(e.time("txtStartSeconds")->text(), "9");
    EXPECT_EQ(e.time("txtFinishHours")->text(), "17");
    for (const auto& [box, checked] : {std::pair{"chkMonday", true},
                                       {"chkTuesday", false},
                                       {"chkFriday", true},
                                       {"chkSaturday", true},
                                       {"chkSunday", false}})
        EXPECT_EQ(e.get<QCheckBox>(box)->isChecked(), checked) << box;
    EXPECT_EQ(e.get<QLineEdit>("txtEveryMinuteAdd")->text(), "0.0395");
    EXPECT_EQ(e.get<QLineEdit>("txtFreeMinutes")->text(), "10");
    auto* connectoid = e.get<QComboBox>("cboConnectoidName");
    QStringList items;
    for (int i = 0; i < connectoid->count(); ++i)
        items << connectoid->itemText(i);
    EXPECT_EQ(items, (QStringList{"Default", "Demo", "Work"}));
    EXPECT_EQ(connectoid->currentText(), "Work");
    EXPECT_TRUE(e.okEnabled());

    // Cancel leaves the record alone.
    e.get<QLineEdit>("txtEveryMinuteAdd")->setText("5");
    e.get<QPushButton>("btnCancel")->click();
    EXPECT_EQ(e.working, band);

    // The rules of the boxes hold at OK, typed or pasted.
    e.get<QLineEdit>("txtEveryMinuteAdd")->setText("12,5");
    e.get<QLineEdit>("txtFreeMinutes")->setText("");
    e.get<QLineEdit>("txtLengthStart")->setText("40000");
    e.get<QLineEdit>("txtLengthFinish")->setText("");
    e.get<QCheckBox>("chkSunday")->setChecked(true);
    e.time("txtFinishHours")->setValue(23);
    connectoid->setCurrentText("Default");
    e.get<QPushButton>("btnOK")->click();
    EXPECT_EQ(e.dialog->result(), QDialog::Accepted);
    EXPECT_EQ(e.working.ChargePerMin, 12.5);
    EXPECT_EQ(e.working.FreeMinutes, 0);
    EXPECT_EQ(e.working.Length_Start, 32000);
    EXPECT_EQ(e.working.Length_Finish, 0);
    EXPECT_EQ(e.working.Days, 2 | 32 | 64 | 1);
    EXPECT_NEAR(e.working.StartTime * 86400, 8 * 3600 + 5 * 60 + 9, 1e-6);
    EXPECT_NEAR(e.working.FinishTime * 86400, 23 * 3600 + 59 * 60 + 59, 1e-6);
    EXPECT_EQ(e.working.Connectoid_Name, "Default");

    // No sign can be typed, so the charge can never be the free-slot marker.
    auto* charge = e.get<QLineEdit>("txtEveryMinuteAdd");
    charge->clear();
    QTest::keyClicks(charge, "-1");
    EXPECT_EQ(charge->text(), "1");
}
