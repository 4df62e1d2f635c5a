// The entry editors the options dialog's lists open: a charge band, a further detail and an
// application. When OK may be pressed, the rules of their boxes, and what OK and Cancel
// leave in the working record.
#include "scripted_dialogs.h"
#include "scripted_prompts.h"

#include "config/tfrm_insert_application.h"
#include "config/tfrm_insert_costing.h"
#include "config/tfrm_insert_costing_further_detail.h"
#include "core/connectoid_names.h"
#include "core/datetime.h"
#include "core/regional.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// An editor over a working record, with the connectoids Work and Demo to choose from.
template <typename Dialog, typename Record> struct Editor {
    explicit Editor(Record record) : working(std::move(record)) { table.fill({"Work", "Demo"}); }
    template <typename T = QLineEdit> T* get(const char* name) {
        T* control = dialog->template findChild<T*>(name);
        EXPECT_TRUE(control) << name;
        return control;
    }
    QSpinBox* time(const char* name) { return get<QSpinBox>(name); }
    bool okEnabled() { return get<QPushButton>("btnOK")->isEnabled(); }
    void ok() { get<QPushButton>("btnOK")->click(); }
    void cancel() { get<QPushButton>("btnCancel")->click(); }
    QStringList items(const char* list) {
        QStringList texts;
        for (int i = 0; i < get<QComboBox>(list)->count(); ++i)
            texts << get<QComboBox>(list)->itemText(i);
        return texts;
    }

    Record working;
    ConnectoidNameTable table;
    RegionalSettings regional = RegionalSettings::english();
    ScriptedDialogs dialogs;
    ScriptedPrompts prompts;
    std::unique_ptr<Dialog> dialog;
};

struct CostingEditor : Editor<TfrmInsertCosting, typCostingInformation> {
    explicit CostingEditor(typCostingInformation band = {}) : Editor(band) {
        dialog = std::make_unique<TfrmInsertCosting>(working, "Insert Time Band", table, regional);
    }
};
struct DetailEditor : Editor<TfrmInsertCostingFurtherDetail, typCostingFurtherDetailInformation> {
    explicit DetailEditor(typCostingFurtherDetailInformation detail = {}) : Editor(detail) {
        dialog = std::make_unique<TfrmInsertCostingFurtherDetail>(working, "Properties", table,
                                                                  regional);
    }
};
struct ApplicationEditor : Editor<TfrmInsertApplication, typApplicationInformation> {
    ApplicationEditor(typApplicationInformation application, bool inserting) : Editor(application) {
        dialog = std::make_unique<TfrmInsertApplication>(
            working, inserting ? "Insert Application" : "Properties", inserting, table, regional,
            dialogs, prompts);
    }
};

const char* const Times[] = {"txtStartHours",  "txtStartMinutes",  "txtStartSeconds",
                             "txtFinishHours", "txtFinishMinutes", "txtFinishSeconds"};

} // namespace

TEST(InsertCosting, OkNeedsADayAndATimeOtherThanMidnightToMidnightAndTimeBoxesClampAndWrap) {
    CostingEditor e;
    EXPECT_EQ(e.get("txtEveryMinuteAdd")->text(), "0");
    EXPECT_FALSE(e.okEnabled());
    e.get<QCheckBox>("chkSaturday")->setChecked(true);
    EXPECT_FALSE(e.okEnabled()) << "00:00:00 to 00:00:00";
    for (const char* t : Times) {
        e.time(t)->setValue(1);
        EXPECT_TRUE(e.okEnabled()) << t;
        e.time(t)->setValue(0);
        EXPECT_FALSE(e.okEnabled()) << t;
    }
    e.time("txtFinishHours")->setValue(23);
    e.get<QCheckBox>("chkSaturday")->setChecked(false);
    EXPECT_FALSE(e.okEnabled());
    e.get<QCheckBox>("chkSunday")->click();
    EXPECT_TRUE(e.okEnabled());

    // The time boxes clamp what is typed and wrap the arrows.
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
    e.time("txtFinishSeconds")->stepDown();
    EXPECT_EQ(e.time("txtFinishSeconds")->value(), 59);
}

TEST(InsertCosting, PropertiesShowTheRecordAndOkReadsTheControlsBackByTheirRules) {
    const double from = datetime::encode(1899, 12, 30, 8, 5, 9),
                 to = datetime::encode(1899, 12, 30, 17, 59, 59);
    const typCostingInformation band{"Work", from,        to,     60,
                                     600,    2 | 32 | 64, 0.0395, 10}; // M, F, Sa
    CostingEditor e(band);
    QStringList shown;
    for (const char* t : Times)
        shown << e.time(t)->text();
    for (const char* day : {"chkMonday", "chkTuesday", "chkFriday", "chkSaturday", "chkSunday"})
        shown << (e.get<QCheckBox>(day)->isChecked() ? "on" : "off");
    shown << e.get("txtEveryMinuteAdd")->text() << e.get("txtFreeMinutes")->text()
          << e.get<QComboBox>("cboConnectoidName")->currentText();
    EXPECT_EQ(shown.join(' '), "8 5 9 17 59 59 on off on on off 0.0395 10 Work");
    EXPECT_EQ(e.items("cboConnectoidName"), (QStringList{"Default", "Demo", "Work"}));
    EXPECT_TRUE(e.okEnabled());

    e.get("txtEveryMinuteAdd")->setText("5");
    e.cancel();
    EXPECT_EQ(e.working, band);

    // The rules of the boxes hold at OK, typed or pasted.
    e.get("txtEveryMinuteAdd")->setText("12,5");
    e.get("txtFreeMinutes")->setText("");
    e.get("txtLengthStart")->setText("40000");
    e.get("txtLengthFinish")->setText("");
    e.get<QCheckBox>("chkSunday")->setChecked(true);
    e.time("txtFinishHours")->setValue(23);
    e.get<QComboBox>("cboConnectoidName")->setCurrentText("Default");
    e.ok();
    EXPECT_EQ(e.dialog->result(), QDialog::Accepted);
    EXPECT_NEAR(e.working.StartTime * 86400, 8 * 3600 + 5 * 60 + 9, 1e-6);
    EXPECT_NEAR(e.working.FinishTime * 86400, 86399, 1e-6);
    e.working.StartTime = e.working.FinishTime = 0;
    EXPECT_EQ(e.working,
              (typCostingInformation{"Default", 0, 0, 32000, 0, 2 | 32 | 64 | 1, 12.5, 0}));

    // No sign can be typed, so the charge can never be the free-slot marker.
    auto* charge = e.get("txtEveryMinuteAdd");
    charge->clear();
    QTest::keyClicks(charge, "-1");
    EXPECT_EQ(charge->text(), "1");
}

TEST(InsertFurtherDetail, TheApplyOptionsAreYesOrNoTheOthersANumberAndOkStoresIt) {
    DetailEditor e;
    EXPECT_EQ(e.items("cboConnectoidName"), (QStringList{"Default", "Demo", "Work"}));
    EXPECT_EQ(e.items("cboOption"),
              (QStringList{"Minimum Charge", "Connection Charge", "Maximum Charge", "Discount (%)",
                           "Apply Discount Percent To Minimum Charge",
                           "Apply Discount Percent To Maximum Charge",
                           "Apply Discount Percent To Connection Charge",
                           "Handshaking Adjustment (seconds)"}));
    EXPECT_EQ(e.get("txtNumber")->text(), "0");
    e.ok();
    EXPECT_EQ(e.working,
              (typCostingFurtherDetailInformation{"Default", "Minimum Charge", 0, 0, "0"}));

    auto* option = e.get<QComboBox>("cboOption");
    auto* yesNo = e.get<QCheckBox>("chkYesNo");
    for (int i = 0; i < option->count(); ++i) {
        option->setCurrentIndex(i);
        const bool apply = i >= 4 && i <= 6;
        EXPECT_EQ(e.get("txtNumber")->isEnabled(), !apply) << i;
        EXPECT_EQ(e.get<QLabel>("lblNumber")->isEnabled(), !apply) << i;
        EXPECT_EQ(yesNo->isEnabled(), apply) << i;
    }
    option->setCurrentText("Apply Discount Percent To Maximum Charge");
    yesNo->setChecked(true);
    e.ok();
    EXPECT_EQ(e.working.Value, "Yes");
    yesNo->setChecked(false);
    e.ok();
    EXPECT_EQ(e.working.Value, "No");
    // An emptied number is 0, never the empty text that marks a free slot.
    option->setCurrentText("Discount (%)");
    e.get("txtNumber")->clear();
    e.ok();
    EXPECT_EQ(e.working.Value, "0");
    e.get("txtNumber")->setText("12,5");
    e.get("txtLengthFinish")->setText("40000");
    e.ok();
    EXPECT_EQ(e.working.Value, "12,5");
    EXPECT_EQ(e.working.Length_Finish, 32000);
}

TEST(InsertFurtherDetail, PropertiesShowYesNoOrTheNumber) {
    const struct {
        const char *option, *value;
        bool checked;
        const char* number;
    } cases[] = {{"Apply Discount Percent To Minimum Charge", "Yes", true, "0"},
                 {"Apply Discount Percent To Connection Charge", "No", false, "0"},
                 {"Maximum Charge", "2.5", false, "2.5"}};
    for (const auto& c : cases) {
        DetailEditor e({"Work", c.option, 30, 90, c.value});
        EXPECT_EQ(e.get<QComboBox>("cboOption")->currentText(), c.option);
        EXPECT_EQ(e.get<QComboBox>("cboConnectoidName")->currentText(), "Work");
        EXPECT_EQ(e.get<QCheckBox>("chkYesNo")->isChecked(), c.checked) << c.value;
        EXPECT_EQ(e.get("txtNumber")->text(), c.number);
        EXPECT_EQ(e.get("txtLengthStart")->text(), "30");
        e.cancel();
        EXPECT_EQ(e.working.Value, c.value);
        e.ok();
        EXPECT_EQ(e.working.Value, c.value);
    }
}

TEST(InsertApplication, ANewEntryNeedsItsProgramChosenFirst) {
    QTemporaryDir dir;
    const QString program = dir.filePath("mailer"), document = dir.filePath("notes.txt");
    for (const QString& path : {program, document})
        QFile(path).open(QIODevice::WriteOnly);
    QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);

    ApplicationEditor e({"Work", {}, {}, {}, 0, 0, 0, 0}, true);
    EXPECT_FALSE(e.okEnabled());
    EXPECT_EQ(e.get<QComboBox>("cboConnectoidName")->currentText(), "Work");
    EXPECT_TRUE(e.get("txtLocation")->isReadOnly());
    auto* choose = e.get<QPushButton>("btnLocation");
    e.dialogs.cancelNext();
    choose->click();
    EXPECT_FALSE(e.okEnabled());
    ASSERT_EQ(e.dialogs.asked.size(), 1);
    EXPECT_EQ(e.dialogs.asked[0].kind, ScriptedDialogs::Kind::OpenFile);
    EXPECT_EQ(e.dialogs.asked[0].file.title, "Insert Application");
    EXPECT_EQ(e.dialogs.asked[0].file.filter, "All files (*)");
    // A plain file may be chosen, with a warning.
    e.dialogs.answerNext(document);
    choose->click();
    EXPECT_EQ(e.prompts.texts(),
              QStringList{TfrmInsertApplication::NotExecutableWarning(document)});
    e.dialogs.answerNext(program);
    choose->click();
    EXPECT_EQ(e.prompts.shown.size(), 1);
    EXPECT_TRUE(e.okEnabled());
    EXPECT_EQ(e.get("txtWorkingDirectory")->text(), dir.path());

    e.get("txtParameters")->setText("--check now");
    e.get<QComboBox>("cboWindowState")->setCurrentText("Maximized");
    e.get<QComboBox>("cboExecute")->setCurrentText("When Connected");
    e.get("txtDelay")->setText("");
    e.get<QComboBox>("cboClose")->setCurrentText("At Disconnection");
    e.ok();
    EXPECT_EQ(e.working,
              (typApplicationInformation{"Work", program, dir.path(), "--check now", 2, 1, 1, 0}));
}

TEST(InsertApplication, OnlyAProgramStartedWithTheCallWaitsForItsDelay) {
    ApplicationEditor e({"Demo", "/usr/bin/tool", "/usr/bin", "-x", 1, 1, 0, 45}, false);
    EXPECT_TRUE(e.okEnabled());
    EXPECT_EQ(e.get<QComboBox>("cboConnectoidName")->currentText(), "Demo");
    EXPECT_EQ(e.get<QComboBox>("cboWindowState")->currentText(), "Minimized");
    auto* delay = e.get("txtDelay");
    EXPECT_EQ(delay->text(), "45");
    EXPECT_TRUE(delay->isEnabled());
    e.get<QComboBox>("cboExecute")->setCurrentText("When Disconnected");
    EXPECT_EQ(delay->text(), "0");
    EXPECT_FALSE(delay->isEnabled());
    e.cancel();
    EXPECT_EQ(e.working.Delay, 45);
    e.ok();
    EXPECT_EQ(e.working.Execute, 2);
    EXPECT_EQ(e.working.Delay, 0);
}
