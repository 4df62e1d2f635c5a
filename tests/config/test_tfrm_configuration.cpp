// The options dialog: every control against the value it stands for, OK and Cancel, the
// rules between controls, what the platform cannot do, and the dialog beside a running call.

#include "options_fixture.h"

#include "config/colours_page.h"
#include "config/display_page.h"
#include "config/entry_tree_page.h"
#include "core/datetime.h"
#include "core/ini_settings_store.h"
#include "widgets/window_frame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimeEdit>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

enum class Kind { Check, List, Radio, Edit, Track };

// One control and the stored value it edits, written down from the table of settings:
// the stored text, what the control shows for it, what the test changes it to, and the text
// OK must store then. A track bar shows its value on its label and moves in steps.
struct Row {
    const char* control;
    const char* key;
    Kind kind;
    const char* stored;
    const char* shown;
    const char* edit;
    const char* saved;
    int step = 0;
};

const Row Rows[] = {
    // Display
    {"radioIntelligentDisplay", "Intelligent_Display", Kind::Radio, "4", "4", "6", "6"},
    {"chkShowTime", "Show_Time", Kind::Check, "0", "0", "1", "1"},
    {"chkShowCost", "Show_Cost", Kind::Check, "0", "0", "1", "1"},
    {"chkShowCostPerMinute", "Show_CostPerMinute", Kind::Check, "1", "1", "0", "0"},
    {"chkShowDTR", "Show_DTR", Kind::Check, "0", "0", "1", "1"},
    {"chkShowDataTransferred", "Show_Data_Transferred", Kind::Check, "0", "0", "1", "1"},
    {"chkShowConnectSpeed", "Show_Connect_Speed", Kind::Check, "1", "1", "0", "0"},
    {"cboShowDigitalDisplay", "Show_Digital_Display", Kind::List, "2", "2", "1", "1"},
    {"cboNumberOfCharacters", "Number_Of_Characters", Kind::List, "6", "6", "0", "0"},
    {"cboCharacterSize", "Character_Size", Kind::List, "2", "2", "0", "0"},
    {"cboPixelSpacing", "Pixel_Spacing", Kind::List, "1", "1", "0", "0"},
    {"chkIndicateMinimumCharge", "Indicate_Minimum_Charge", Kind::Check, "0", "0", "1", "1"},
    {"chkIndicateMaximumCharge", "Indicate_Maximum_Charge", Kind::Check, "0", "0", "1", "1"},
    {"chkShowCostIncludingDiscount", "Show_Cost_Including_Discount", Kind::Check, "1", "1", "0",
     "0"},
    {"chkFlashIconMinimum", "Flash_Icon_Minimum", Kind::Check, "1", "1", "0", "0"},
    {"chkFlashIconConnected", "Flash_Icon_Connected", Kind::Check, "0", "0", "1", "1"},
    {"chkFlashIconMaximum", "Flash_Icon_Maximum", Kind::Check, "1", "1", "0", "0"},
    {"chkHideTrayIcon", "Hide_Tray_Icon", Kind::Check, "1", "1", "0", "0"},
    // Decimal places
    {"cboDecimalPlacesChargeBands", "Decimal_Places_Charge_Bands", Kind::List, "3", "3", "5", "5"},
    {"cboDecimalPlacesLogStatistics", "Decimal_Places_Log_Statistics", Kind::List, "1", "1", "2",
     "2"},
    {"cboDecimalPlacesDisplay", "Decimal_Places_Display", Kind::List, "2", "2", "0", "0"},
    {"cboDecimalPlacesLogDetail", "Decimal_Places_Log_Detail", Kind::List, "4", "4", "1", "1"},
    {"cboDecimalPlacesDTR", "Decimal_Places_DTR", Kind::List, "5", "5", "3", "3"},
    {"cboDecimalPlacesCostPerMinute", "Decimal_Places_Cost_Per_Minute", Kind::List, "5", "5", "4",
     "4"},
    {"cboDecimalPlacesDataTransferred", "Decimal_Places_Data_Transferred", Kind::List, "2", "2",
     "1", "1"},
    // Costs
    {"chkNoChargeBands", "No_Charge_Bands", Kind::Check, "1", "1", "0", "0"},
    // General
    {"cboDataDTR", "Data_DTR", Kind::List, "0", "0", "1", "1"},
    {"cboDataLog", "Data_Log", Kind::List, "1", "1", "0", "0"},
    {"radioDefaultMenu", "Default_Menu", Kind::Radio, "5", "5", "3", "3"},
    {"chkBackupLog", "Backup_Log", Kind::Check, "0", "0", "1", "1"},
    {"chkAlternativeDetector", "Alternative_Detector", Kind::Check, "1", "1", "0", "0"},
    {"chkEnableTransmitReceive", "Enable_TransmitReceive", Kind::Check, "0", "0", "1", "1"},
    {"chkCompactCallLog", "Compact_Call_Log", Kind::Check, "0", "0", "1", "1"},
    {"chkAdjustDisplayAfterResolutionChange", "Adjust_Display_After_Resolution_Change", Kind::Check,
     "1", "1", "0", "0"},
    {"chkAdjustIntelligenceAfterResolutionChange", "Adjust_Intelligence_After_Resolution_Change",
     Kind::Check, "1", "1", "0", "0"},
    {"chkDisableChecks", "Disable_Checks", Kind::Check, "1", "1", "0", "0"},
    {"chkExitVORN", "Exit_VORN", Kind::Check, "1", "1", "0", "0"},
    {"chkDebugLogging", "Debug_Logging", Kind::Check, "1", "1", "0", "0"},
    {"cboApplicationsDelay", "Applications_Delay", Kind::List, "29", "29", "0", "0"},
    {"cboPriorityOfApplication", "Priority_Of_Application", Kind::List, "2", "2", "0", "0"},
    {"cboDialUpService", "Dial_Up_Service", Kind::List, "pppd", "2", "3", "simulated"},
    {"chkDialUpAllProfiles", "Dial_Up_All_Profiles", Kind::Check, "1", "1", "0", "0"},
    // General (cont...)
    {"chkIconHintCost", "Icon_Hint_Cost", Kind::Check, "0", "0", "1", "1"},
    {"chkIconHintDuration", "Icon_Hint_Duration", Kind::Check, "0", "0", "1", "1"},
    {"chkIconHintCostPerMinute", "Icon_Hint_CostPerMinute", Kind::Check, "1", "1", "0", "0"},
    {"chkIconHintDTR", "Icon_Hint_DTR", Kind::Check, "0", "0", "1", "1"},
    {"chkIconHintData", "Icon_Hint_Data", Kind::Check, "1", "1", "0", "0"},
    {"chkIconHintIPAddress", "Icon_Hint_IPAddress", Kind::Check, "1", "1", "0", "0"},
    {"chkIconHintConnectSpeed", "Icon_Hint_ConnectSpeed", Kind::Check, "0", "0", "1", "1"},
    // Disconnect
    {"txtAutoDisconnectConnectSpeed", "Auto_Disconnect_Connect_Speed", Kind::Edit, "28800", "28800",
     "9600", "9600"},
    {"txtAutoIdleDisconnect", "Auto_Idle_Disconnect", Kind::Edit, "12", "12", "3", "3"},
    {"txtAutoDisconnect", "Auto_Disconnect", Kind::Edit, "90", "90", "45", "45"},
    {"txtAutoDisconnectExceedCost", "Auto_Disconnect_Exceed_Cost", Kind::Edit, "2,5", "2.5", "1.75",
     "1.75"},
    {"chkAutoDisconnectFreeMinutes", "Auto_Disconnect_Free_Minutes", Kind::Check, "1", "1", "0",
     "0"},
    {"chkAutoDisconnectMinimumPeriod", "Auto_Disconnect_Minimum_Period", Kind::Check, "1", "1", "0",
     "0"},
    {"cboOperationAfterAutoDisconnecting", "Operation_After_Auto_Disconnecting", Kind::List, "1",
     "1", "2", "2"},
    {"cboOperationAfterDisconnecting", "Operation_After_Disconnecting", Kind::List, "2", "2", "1",
     "1"},
    // Sensitivity
    {"trackIntervalCallChecker", "Interval_Call_Checker", Kind::Track, "3000", "3.0s", "3500",
     "3500", 500},
    {"trackIntervalAutoHide", "Interval_Auto_Hide", Kind::Track, "200", "0.2s", "250", "250", 50},
    {"trackIntervalCalculateCost", "Interval_Calculate_Cost", Kind::Track, "1000", "1.0s", "1500",
     "1500", 500},
    {"trackIntervalTransmitReceive", "Interval_Transmit_Receive", Kind::Track, "500", "0.50s",
     "550", "550", 50},
    {"trackIntervalDTR", "Interval_DTR", Kind::Track, "8000", "8.0s", "8500", "8500", 500},
    {"trackIntervalDisplayChanger", "Interval_Display_Changer", Kind::Track, "2500", "2.5s", "2000",
     "2000", 500},
    // Sound
    {"radioSoundEventWhenConnected", "Sound_Event_WhenConnected", Kind::Radio, "1", "1", "2", "2"},
    {"radioSoundEventWhenDisconnect", "Sound_Event_WhenDisconnect", Kind::Radio, "2", "2", "3",
     "3"},
    {"radioSoundEventAtMinimumCharge", "Sound_Event_AtMinimumCharge", Kind::Radio, "3", "3", "0",
     "0"},
    {"radioSoundEventAtMaximumCharge", "Sound_Event_AtMaximumCharge", Kind::Radio, "1", "1", "0",
     "0"},
    {"radioSoundEventAtAutoDisconnectStart", "Sound_Event_AtAutoDisconnectStart", Kind::Radio, "2",
     "2", "1", "1"},
    {"radioSoundEventNewMailNotification", "Sound_Event_NewMailNotification", Kind::Radio, "3", "3",
     "2", "2"},
};

QList<QRadioButton*> radios(const QWidget* group) {
    return group->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
}

QString shownBy(QWidget* control, Kind kind) {
    switch (kind) {
    case Kind::Check:
        return static_cast<QCheckBox*>(control)->isChecked() ? "1" : "0";
    case Kind::List:
        return QString::number(static_cast<QComboBox*>(control)->currentIndex());
    case Kind::Radio: {
        const auto items = radios(control);
        for (int i = 0; i < items.size(); ++i)
            if (items[i]->isChecked())
                return QString::number(i);
        return "-1";
    }
    case Kind::Edit:
        return static_cast<QLineEdit*>(control)->text();
    case Kind::Track:
        return control->parentWidget()->findChild<QLabel*>()->text();
    }
    return {};
}

void editTo(QWidget* control, const Row& row) {
    const QString edit = QString::fromLatin1(row.edit);
    switch (row.kind) {
    case Kind::Check:
        static_cast<QCheckBox*>(control)->setChecked(edit == "1");
        break;
    case Kind::List:
        static_cast<QComboBox*>(control)->setCurrentIndex(edit.toInt());
        break;
    case Kind::Radio:
        radios(control).at(edit.toInt())->setChecked(true);
        break;
    case Kind::Edit:
        static_cast<QLineEdit*>(control)->setText(edit);
        break;
    case Kind::Track: {
        auto* bar = static_cast<QSlider*>(control);
        bar->setValue(bar->value() + (edit.toInt() - QString(row.stored).toInt()) / row.step);
        break;
    }
    }
}

// The texts OK stores on a settings file that holds nothing yet: the defaults.
const std::pair<const char*, const char*> Defaults[] = {
    {"Show_Time", "1"},
    {"Show_Cost", "1"},
    {"Show_CostPerMinute", "0"},
    {"Show_DTR", "1"},
    {"Show_Data_Transferred", "1"},
    {"Show_Connect_Speed", "0"},
    {"Intelligent_Display", "0"},
    {"Show_Digital_Display", "0"},
    {"Number_Of_Characters", "3"},
    {"Character_Size", "1"},
    {"Pixel_Spacing", "0"},
    {"Show_Cost_Including_Discount", "0"},
    {"Indicate_Minimum_Charge", "1"},
    {"Indicate_Maximum_Charge", "1"},
    {"Hide_Tray_Icon", "0"},
    {"Flash_Icon_Minimum", "0"},
    {"Flash_Icon_Connected", "0"},
    {"Flash_Icon_Maximum", "0"},
    {"Enable_TransmitReceive", "1"},
    {"Adjust_Display_After_Resolution_Change", "0"},
    {"Adjust_Intelligence_After_Resolution_Change", "0"},
    {"Default_Menu", "0"},
    {"Data_Log", "2"},
    {"Data_DTR", "2"},
    {"Decimal_Places_Charge_Bands", "0"},
    {"Decimal_Places_Log_Statistics", "0"},
    {"Decimal_Places_Log_Detail", "0"},
    {"Decimal_Places_Display", "0"},
    {"Decimal_Places_Cost_Per_Minute", "0"},
    {"Decimal_Places_DTR", "0"},
    {"Decimal_Places_Data_Transferred", "0"},
    {"Sound_Event_WhenConnected", "0"},
    {"Sound_Event_WhenDisconnect", "0"},
    {"Sound_Event_AtMinimumCharge", "0"},
    {"Sound_Event_AtMaximumCharge", "0"},
    {"Sound_Event_AtAutoDisconnectStart", "0"},
    {"Sound_Event_NewMailNotification", "0"},
    {"Color_LED_Idle", "16777215"},
    {"Color_LED_Minimum", "16777088"},
    {"Color_LED_Maximum", "65280"},
    {"Color_LED_Time", "33023"},
    {"Color_LED_Costs", "8454143"},
    {"Color_LED_Cost_Per_Minute", "16744703"},
    {"Color_LED_DTR", "12632256"},
    {"Color_LED_Transferred", "16744576"},
    {"Color_LED_Lights", "65280"},
    {"Color_Connect_Speed", "8388863"},
    {"Icon_Hint_Cost", "1"},
    {"Icon_Hint_Duration", "1"},
    {"Icon_Hint_CostPerMinute", "0"},
    {"Icon_Hint_DTR", "1"},
    {"Icon_Hint_Data", "0"},
    {"Icon_Hint_IPAddress", "0"},
    {"Icon_Hint_ConnectSpeed", "1"},
    {"Exit_VORN", "0"},
    {"Disable_Checks", "0"},
    {"Debug_Logging", "0"},
    {"Priority_Of_Application", "1"},
    {"Backup_Log", "1"},
    {"Compact_Call_Log", "1"},
    {"Alternative_Detector", "0"},
    {"Applications_Delay", "9"},
    {"No_Charge_Bands", "0"},
    {"Dial_Up_Service", "auto"},
    {"Dial_Up_All_Profiles", "0"},
    {"Auto_Idle_Disconnect", "5"},
    {"Auto_Disconnect_Connect_Speed", "0"},
    {"Auto_Disconnect_Exceed_Cost", "0"},
    {"Auto_Disconnect_Free_Minutes", "0"},
    {"Auto_Disconnect_Minimum_Period", "0"},
    {"Operation_After_Auto_Disconnecting", "0"},
    {"Operation_After_Disconnecting", "0"},
    {"Interval_Call_Checker", "2000"},
    {"Interval_Calculate_Cost", "2000"},
    {"Interval_Display_Changer", "1500"},
    {"Interval_Auto_Hide", "100"},
    {"Interval_DTR", "5000"},
    {"Interval_Transmit_Receive", "250"},
    {"Number_Of_Costings", "0"},
    {"Number_Of_Costing_Further_Details", "0"},
    {"Number_Of_Applications", "0"},
};

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(Options, EveryControlShowsItsStoredValueAndOkStoresTheEdit) {
    OptionsFixture f;
    for (const Row& row : Rows)
        f.set(row.key, row.stored);
    auto window = f.open();
    for (const Row& row : Rows) {
        QWidget* control = window->findChild<QWidget*>(row.control);
        ASSERT_TRUE(control) << row.control;
        EXPECT_EQ(shownBy(control, row.kind), row.shown) << row.control;
        editTo(control, row);
    }
    window->btnOKClick();
    for (const Row& row : Rows)
        EXPECT_EQ(f.stored(row.key), row.saved) << row.control;
    EXPECT_EQ(window->result(), QDialog::Accepted);
}

TEST(Options, OkOnAFreshFileStoresTheDefaultsAndLeavesTheMainWindowsOwnValues) {
    OptionsFixture f;
    auto window = f.open();
    window->btnOKClick();
    for (const auto& [key, value] : Defaults)
        EXPECT_EQ(f.stored(key), value) << key;
    // Untouched, the hang-up time and the call-length limit stay the main window's.
    EXPECT_FALSE(f.store.hasValue({}, "Auto_At_Disconnect"));
    EXPECT_FALSE(f.store.hasValue({}, "Auto_Disconnect"));
    EXPECT_EQ(f.stored("Options_Window_Width"), QString::number(window->width()));
    EXPECT_EQ(f.stored("Options_Window_Height"), QString::number(window->height()));
    // "Always" shows the LED window.
    EXPECT_EQ(f.ledShown, 1);
}

TEST(Options, CancelLeavesTheSettingsFileAsItWas) {
    OptionsFixture f;
    const QString path = f.home.filePath("VORN.conf");
    IniSettingsStore file(path);
    for (const Row& row : Rows)
        file.setValue({}, row.key, row.stored);
    file.setValue({}, "Color_LED_Time", "255");
    f.liveStore = &file;
    f.load();
    const QByteArray before = fileBytes(path);
    auto window = std::make_unique<TfrmConfiguration>(f.services());
    for (const Row& row : Rows)
        editTo(window->findChild<QWidget*>(row.control), row);
    f.dialogs.answerNext(QColor(Qt::blue));
    f.find<QPushButton>(*window, "btnColorLEDTime")->click();
    window->btnCancelClick();
    EXPECT_EQ(window->result(), QDialog::Rejected);
    window.reset();
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(f.settings.Color_LED_Time, 255);
}

TEST(Options, SectionsShowTheirPagesAndTheWindowKeepsItsSize) {
    OptionsFixture f;
    f.set("Options_Window_Width", "5000").set("Options_Window_Height", "100");
    auto window = f.open();
    EXPECT_EQ(window->windowTitle(), "Options");
    auto* sections = f.find<QListWidget>(*window, "listvSections");
    auto* pages = f.find<QTabWidget>(*window, "pageConfiguration");
    const QStringList expected[] = {
        {"Display", "Decimal Places and Colours"},
        {"Time Bands", "Time Bands - Further Details", "Options"},
        {"Applications"},
        {"General", "General (cont...)", "Disconnect", "Sensitivity", "Sound"}};
    ASSERT_EQ(sections->count(), 4);
    for (int s = 3; s >= 0; --s) {
        sections->setCurrentRow(s);
        QStringList shown;
        for (int i = 0; i < pages->count(); ++i)
            if (pages->isTabVisible(i))
                shown << pages->tabText(i);
        EXPECT_EQ(shown, expected[s]);
        EXPECT_EQ(pages->tabText(pages->currentIndex()), expected[s].first());
    }
    EXPECT_EQ(sections->item(0)->text(), "Display");
    // Too wide for the screen and too low for the minimum: the minimum, or more when the
    // pages need it.
    EXPECT_GE(window->width(), 590);
    EXPECT_GE(window->height(), 450);
    EXPECT_LE(window->width(), 800);
    EXPECT_LE(window->height(), 600);

    window->resize(window->width() + 20, window->height() + 10);
    window->btnOKClick();
    EXPECT_EQ(f.stored("Options_Window_Width"), QString::number(window->width()));
    EXPECT_EQ(f.stored("Options_Window_Height"), QString::number(window->height()));
    EXPECT_EQ(f.find<QPushButton>(*window, "btnOK")->text(), "&OK");
    EXPECT_TRUE(f.find<QPushButton>(*window, "btnOK")->isDefault());
}

TEST(Options, InterlocksBetweenTheDisplayBoxes) {
    OptionsFixture f;
    f.set("Show_Cost", "0").set("Show_DTR", "0").set("Show_Data_Transferred", "0");
    f.set("Show_CostPerMinute", "1");
    auto window = f.open();
    auto box = [&](const char* name) { return f.find<QCheckBox>(*window, name); };

    // The flash options: whilst connected excludes the two charge periods.
    box("chkFlashIconMinimum")->click();
    box("chkFlashIconMaximum")->click();
    box("chkFlashIconConnected")->click();
    EXPECT_TRUE(box("chkFlashIconConnected")->isChecked());
    EXPECT_FALSE(box("chkFlashIconMinimum")->isChecked());
    EXPECT_FALSE(box("chkFlashIconMaximum")->isChecked());
    box("chkFlashIconMaximum")->click();
    EXPECT_FALSE(box("chkFlashIconConnected")->isChecked());
    EXPECT_TRUE(box("chkFlashIconMaximum")->isChecked());

    // The last Show box: Time comes back with a warning.
    box("chkShowTime")->click();
    EXPECT_TRUE(f.prompts.shown.isEmpty());
    EXPECT_FALSE(box("chkShowTime")->isChecked());
    box("chkShowCostPerMinute")->setChecked(false);
    box("chkShowConnectSpeed")->setChecked(true);
    box("chkShowConnectSpeed")->click();
    ASSERT_EQ(f.prompts.shown.size(), 1);
    EXPECT_EQ(f.prompts.shown[0].kind, Prompts::Kind::Warning);
    EXPECT_EQ(f.prompts.shown[0].text, DisplayPage::LastShowWarning);
    EXPECT_TRUE(f.prompts.shown[0].text.startsWith(
        "At least one Show option must be enabled.  Time will be automatically checked"));
    EXPECT_TRUE(box("chkShowTime")->isChecked());

    // Hiding the tray icon is asked; No takes it back, and unchecking asks nothing.
    f.prompts.shown.clear();
    f.prompts.answerNext(Prompts::Answer::No);
    box("chkHideTrayIcon")->click();
    EXPECT_FALSE(box("chkHideTrayIcon")->isChecked());
    f.prompts.answerNext(Prompts::Answer::Yes);
    box("chkHideTrayIcon")->click();
    EXPECT_TRUE(box("chkHideTrayIcon")->isChecked());
    box("chkHideTrayIcon")->click();
    ASSERT_EQ(f.prompts.shown.size(), 2);
    EXPECT_EQ(f.prompts.shown[0].buttons, Prompts::Buttons::YesNo);
    EXPECT_TRUE(f.prompts.shown[0].text.endsWith(
        "support web page.\n\r\n\rAre you sure you want to enable this option?"));
}

TEST(Options, WhatThePlatformCannotDoIsSwitchedOff) {
    const char* speedBoxes[] = {"chkShowConnectSpeed", "chkIconHintConnectSpeed"};
    const char* rateBoxes[] = {"chkShowDTR", "chkShowDataTransferred", "chkIconHintData",
                               "chkIconHintDTR"};
    const char* rateControls[] = {"cboDataDTR",       "cboDataLog",           "lblDataDTR",
                                  "lblDataLog",       "trackIntervalDTR",     "lblIntervalDTR",
                                  "frameIntervalDTR", "txtAutoIdleDisconnect"};
    const struct {
        bool speed, rate, checksDisabled;
    } cases[] = {{true, true, false},
                 {false, true, false},
                 {true, false, false},
                 {false, false, false},
                 {true, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.speed << c.rate << c.checksDisabled);
        OptionsFixture f;
        f.capabilities = {c.rate, c.speed};
        for (const char* key : {"Show_Connect_Speed", "Icon_Hint_ConnectSpeed", "Show_DTR",
                                "Show_Data_Transferred", "Icon_Hint_Data", "Icon_Hint_DTR"})
            f.set(key, "1");
        f.set("Auto_Idle_Disconnect", "7").set("Disable_Checks", c.checksDisabled ? "1" : "0");
        // The check in force is the one loaded before: the main window has loaded once.
        f.load();
        auto window = f.open();
        const bool rate = c.rate || c.checksDisabled;
        for (const char* name : speedBoxes) {
            EXPECT_EQ(f.find<QCheckBox>(*window, name)->isEnabled(), c.speed) << name;
            EXPECT_EQ(f.find<QCheckBox>(*window, name)->isChecked(), c.speed) << name;
        }
        for (const char* name : rateBoxes) {
            EXPECT_EQ(f.find<QCheckBox>(*window, name)->isEnabled(), rate) << name;
            EXPECT_EQ(f.find<QCheckBox>(*window, name)->isChecked(), rate) << name;
        }
        for (const char* name : rateControls)
            EXPECT_EQ(f.find<QWidget>(*window, name)->isEnabled(), rate) << name;
        EXPECT_EQ(f.find<QLineEdit>(*window, "txtAutoIdleDisconnect")->text(), rate ? "7" : "0");
    }
}

TEST(Options, TrackBarsShowSecondsAndGoBackToTheirDefaults) {
    OptionsFixture f;
    auto window = f.open();
    const struct {
        const char* bar;
        const char* atMinimum;
        const char* atMaximum;
        const char* atDefault;
    } bars[] = {{"trackIntervalCallChecker", "0.5s", "5.0s", "2.0s"},
                {"trackIntervalAutoHide", "0.1s", "0.5s", "0.1s"},
                {"trackIntervalCalculateCost", "0.5s", "5.0s", "2.0s"},
                {"trackIntervalTransmitReceive", "0.10s", "1.00s", "0.25s"},
                {"trackIntervalDTR", "0.5s", "10.0s", "5.0s"},
                {"trackIntervalDisplayChanger", "0.5s", "5.0s", "1.5s"}};
    for (const auto& b : bars) {
        auto* bar = f.find<QSlider>(*window, b.bar);
        auto* label = bar->parentWidget()->findChild<QLabel*>();
        bar->setValue(bar->minimum());
        EXPECT_EQ(label->text(), b.atMinimum) << b.bar;
        bar->setValue(bar->maximum());
        EXPECT_EQ(label->text(), b.atMaximum) << b.bar;
    }
    f.find<QPushButton>(*window, "btnDefaultSensitivity")->click();
    for (const auto& b : bars) {
        auto* bar = f.find<QSlider>(*window, b.bar);
        EXPECT_EQ(bar->parentWidget()->findChild<QLabel*>()->text(), b.atDefault) << b.bar;
    }
    EXPECT_EQ(f.find<QPushButton>(*window, "btnDefaultSensitivity")->text(),
              "&Default Sensitivity");
    window->btnOKClick();
    EXPECT_EQ(f.stored("Interval_Transmit_Receive"), "250");
    EXPECT_EQ(f.stored("Interval_DTR"), "5000");
}

TEST(Options, AColourChosenGoesIntoTheSwatchAndOkStoresIt) {
    OptionsFixture f;
    auto window = f.open();
    auto* swatch = f.find<QWidget>(*window, "shpColorLEDCosts");
    auto* button = f.find<QPushButton>(*window, "btnColorLEDCosts");
    EXPECT_EQ(swatch->palette().color(QPalette::Window), QColor(255, 255, 128));

    f.dialogs.cancelNext();
    button->click();
    EXPECT_EQ(swatch->palette().color(QPalette::Window), QColor(255, 255, 128));
    f.dialogs.answerNext(QColor(1, 2, 3));
    button->click();
    ASSERT_EQ(f.dialogs.asked.size(), 2);
    EXPECT_EQ(f.dialogs.asked[0].kind, ScriptedDialogs::Kind::ChooseColour);
    EXPECT_EQ(f.dialogs.asked[1].text, QColor(255, 255, 128).name());
    EXPECT_EQ(swatch->palette().color(QPalette::Window), QColor(1, 2, 3));
    EXPECT_EQ(f.settings.Color_LED_Costs, 8454143); // the live record waits for OK
    window->btnOKClick();
    EXPECT_EQ(f.stored("Color_LED_Costs"), QString::number(1 + 2 * 256 + 3 * 65536));
    EXPECT_EQ(f.settings.Color_LED_Costs, 1 + 2 * 256 + 3 * 65536);
}

TEST(Options, OkAppliesTheEditRulesThatLeavingWould) {
    OptionsFixture f;
    f.set("Auto_Disconnect_Exceed_Cost", "-3").set("Auto_Disconnect", "15");
    auto window = f.open();
    auto edit = [&](const char* name) { return f.find<QLineEdit>(*window, name); };
    edit("txtAutoDisconnect")->setText("");
    edit("txtAutoIdleDisconnect")->setText("");
    edit("txtAutoDisconnectConnectSpeed")->setText("");
    EXPECT_EQ(edit("txtAutoDisconnectExceedCost")->text(), "-3");
    window->btnOKClick();
    for (const char* key : {"Auto_Disconnect", "Auto_Idle_Disconnect",
                            "Auto_Disconnect_Connect_Speed", "Auto_Disconnect_Exceed_Cost"})
        EXPECT_EQ(f.stored(key), "0") << key;
}

TEST(Options, TheHangUpTimeIsStoredOnlyWhenTheUserChangedIt) {
    OptionsFixture f;
    const TDateTime at = datetime::encode(2023, 3, 16, 12, 30, 15);
    f.set("Auto_At_Disconnect", datetime::floatToText(at, f.regional));
    {
        auto window = f.open();
        EXPECT_EQ(f.find<QDateEdit>(*window, "dtPickerAtDate")->date(), QDate(2023, 3, 16));
        EXPECT_EQ(f.find<QTimeEdit>(*window, "dtPickerAtTime")->time(), QTime(12, 30, 15));
        // A call starts meanwhile and moves the time on.
        f.settings.Auto_At_Disconnect = at + 0.5;
        f.set("Auto_At_Disconnect", "45001");
        window->btnOKClick();
        EXPECT_EQ(f.stored("Auto_At_Disconnect"), "45001");
        EXPECT_DOUBLE_EQ(f.settings.Auto_At_Disconnect, at + 0.5);
    }
    auto window = f.open();
    f.find<QDateEdit>(*window, "dtPickerAtDate")->setDate(QDate(2024, 1, 2));
    f.find<QTimeEdit>(*window, "dtPickerAtTime")->setTime(QTime(23, 59, 58));
    window->btnOKClick();
    EXPECT_EQ(f.stored("Auto_At_Disconnect"),
              datetime::floatToText(datetime::encode(2024, 1, 2, 23, 59, 58), f.regional));
}

TEST(Options, DebugFileAsksWithItsPathAndSaysWhenItCannotBeWritten) {
    OptionsFixture f;
    f.debugLog.setEnabled(true);
    f.debugLog.add("traced");
    auto window = f.open();
    const QString path = debugFilePath(f.home.path());
    auto* button = f.find<QPushButton>(*window, "btnDebugFile");
    button->click(); // No
    EXPECT_FALSE(QFile::exists(path));
    f.prompts.answerNext(Prompts::Answer::Yes);
    button->click();
    EXPECT_TRUE(fileBytes(path).contains("1 -> "));
    ASSERT_EQ(f.prompts.shown.size(), 2);
    EXPECT_EQ(f.prompts.shown[0].text,
              "Are you sure you want to create a debug file called " + path + "?");

    // The folder is gone: the user hears of it.
    f.home.remove();
    f.prompts.answerNext(Prompts::Answer::Yes);
    button->click();
    ASSERT_EQ(f.prompts.shown.size(), 4);
    EXPECT_EQ(f.prompts.shown[3].kind, Prompts::Kind::Error);
    EXPECT_TRUE(f.prompts.shown[3].text.contains(path));
}

TEST(Options, StartingAtLogInIsTheDesktopsSettingChangedOnlyByOk) {
    {
        OptionsFixture f;
        auto window = f.open();
        EXPECT_TRUE(f.find<QCheckBox>(*window, "chkStartAtLogin")->isHidden());
    }
    OptionsFixture f;
    FakeAutostart autostart;
    f.autostart = &autostart;
    auto window = f.open();
    auto* box = f.find<QCheckBox>(*window, "chkStartAtLogin");
    EXPECT_FALSE(box->isHidden());
    EXPECT_EQ(box->text(), "Start VORN when I log in");
    EXPECT_FALSE(box->isChecked());
    box->setChecked(true);
    window->btnCancelClick();
    EXPECT_EQ(autostart.changes, 0);

    for (bool fails : {false, true}) {
        autostart.failure = fails ? "Permission denied" : "";
        window = f.open();
        box = f.find<QCheckBox>(*window, "chkStartAtLogin");
        EXPECT_EQ(box->isChecked(), autostart.enabled);
        box->setChecked(!autostart.enabled);
        window->btnOKClick();
    }
    // Switched on by the first OK; the second could not switch it off, and said so.
    EXPECT_TRUE(autostart.enabled);
    EXPECT_EQ(autostart.changes, 2);
    EXPECT_EQ(f.prompts.texts(),
              QStringList{"Starting VORN when you log in could not be changed: Permission denied"});
    EXPECT_FALSE(f.store.hasValue({}, "Start_At_Login"));

    // Unchanged, nothing is asked of the desktop.
    autostart.failure.clear();
    window = f.open();
    window->btnOKClick();
    EXPECT_EQ(autostart.changes, 2);
}

TEST(Options, HelpOpensTheShownPagesTopic) {
    OptionsFixture f;
    auto window = f.open();
    f.find<QPushButton>(*window, "btnHelp")->click();
    f.find<QListWidget>(*window, "listvSections")->setCurrentRow(3);
    f.find<QTabWidget>(*window, "pageConfiguration")->setCurrentIndex(10);
    f.find<QPushButton>(*window, "btnHelp")->click();
    EXPECT_EQ(f.help.topics, (QStringList{"options#display", "options#sound"}));
    EXPECT_EQ(f.find<QLabel>(*window, "statusLink")->text(), StatusLinkText);
}

// ---- The three lists ----

namespace {

QTreeWidget* tree(const TfrmConfiguration& window, const char* name) {
    return OptionsFixture::find<QTreeWidget>(window, name);
}

// Each root's caption followed by its children's, one string per root.
QStringList treeText(const QTreeWidget* t) {
    QStringList roots;
    for (int i = 0; i < t->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* root = t->topLevelItem(i);
        QStringList text{root->text(0)};
        for (int c = 0; c < root->childCount(); ++c)
            text << root->child(c)->text(0);
        roots << text.join(" | ");
    }
    return roots;
}

void storeBand(OptionsFixture& f, int n, const QString& connectoid, const QString& charge) {
    const QString section = "Costing" + QString::number(n);
    f.set("Number_Of_Costings", QString::number(n));
    f.set("Connectoid_Name", connectoid, section).set("ChargePerMin", charge, section);
    f.set("Days", "62", section).set("StartTime", "0.25", section);
    f.set("FinishTime", "0.75", section).set("FreeMinutes", "2", section);
}

} // namespace

TEST(OptionsLists, TreesGroupEntriesByConnectoidWithTheirCaptions) {
    OptionsFixture f;
    f.dialUp.entryNames = QStringList{"Work", "Demo"};
    storeBand(f, 1, "Demo", "0.04");
    storeBand(f, 2, "Default", "0.015");
    f.set("Decimal_Places_Charge_Bands", "4"); // three decimals
    f.set("Number_Of_Costing_Further_Details", "2");
    f.set("Option", "Minimum Charge", "Costing_Further_Details1");
    f.set("Value", "0,05", "Costing_Further_Details1");
    f.set("Length_Finish", "60", "Costing_Further_Details1");
    f.set("Connectoid_Name", "Work", "Costing_Further_Details2");
    f.set("Option", "Apply Discount Percent To Minimum Charge", "Costing_Further_Details2");
    f.set("Value", "Yes", "Costing_Further_Details2");
    f.set("Number_Of_Applications", "1");
    f.set("Filename", "/usr/bin/mailer", "Application1").set("Execute", "2", "Application1");
    f.set("Window_State", "3", "Application1").set("Close", "1", "Application1");
    auto window = f.open();
    EXPECT_EQ(treeText(tree(*window, "trvCostings")),
              (QStringList{"Default | M, Tu, W, Th, F, 06:00:00-18:00:00, 0-0, 2, £0.015",
                           "Demo | M, Tu, W, Th, F, 06:00:00-18:00:00, 0-0, 2, £0.040",
                           "Unknown/Other", "Work"}));
    EXPECT_EQ(treeText(tree(*window, "trvCostingFurtherDetails")),
              (QStringList{"Default | Minimum Charge, 0-60, 0.050", "Demo", "Unknown/Other",
                           "Work | Apply Discount Percent To Minimum Charge, 0-0, Yes"}));
    EXPECT_EQ(treeText(tree(*window, "trvApplications")),
              (QStringList{"Default | mailer, Hidden, When Disconnected, At Disconnection, 20",
                           "Demo", "Unknown/Other", "Work"}));
    EXPECT_TRUE(tree(*window, "trvCostings")->topLevelItem(0)->isExpanded());
}

TEST(OptionsLists, EntriesOfVanishedConnectoidsAreUnknownOnlyWhenTheServiceAnswered) {
    for (bool answered : {true, false}) {
        SCOPED_TRACE(answered);
        OptionsFixture f;
        if (answered)
            f.dialUp.entryNames = QStringList{"Demo"};
        else
            f.dialUp.entryNames.reset();
        storeBand(f, 1, "Gone", "0.04");
        storeBand(f, 2, "Demo", "0.02");
        f.set("Number_Of_Applications", "1");
        f.set("Filename", "/bin/true", "Application1").set("Connectoid_Name", "", "Application1");
        auto window = f.open();
        const QStringList roots = treeText(tree(*window, "trvCostings"));
        if (answered) {
            EXPECT_EQ(roots.size(), 3);
            EXPECT_TRUE(roots[2].startsWith("Unknown/Other | M, Tu")) << roots[2].toStdString();
        } else {
            // Nothing is known: every stored name stands, under a root of its own.
            EXPECT_EQ(roots.size(), 4);
            EXPECT_TRUE(roots[2].startsWith("Demo | M, Tu")) << roots[2].toStdString();
            EXPECT_TRUE(roots[3].startsWith("Gone | M, Tu")) << roots[3].toStdString();
        }
        EXPECT_TRUE(treeText(tree(*window, "trvApplications")).last().startsWith("Unknown"));
        window->btnOKClick();
        EXPECT_EQ(f.stored("Connectoid_Name", "Costing1"), answered ? "Unknown/Other" : "Gone");
        EXPECT_EQ(f.stored("Connectoid_Name", "Application1"), "Unknown/Other");
    }
}

TEST(OptionsLists, FullListsAndMissingSelectionsAreTold) {
    OptionsFixture f;
    for (int n = 1; n <= 75; ++n)
        storeBand(f, n, "Default", "0.01");
    f.set("Number_Of_Costing_Further_Details", "50");
    for (int n = 1; n <= 50; ++n)
        f.set("Value", "1", "Costing_Further_Details" + QString::number(n));
    f.set("Number_Of_Applications", "60");
    for (int n = 1; n <= 60; ++n)
        f.set("Filename", "/bin/true", "Application" + QString::number(n));
    auto window = f.open();
    int editors = 0;
    window->runEditor = [&](QDialog&) { return ++editors, false; };
    const QString again = "\n\r\n\rTo add another costing entry you will need to remove an "
                          "existing entry first.";
    const struct {
        const char* suffix;
        const char* tree;
        int entries;
        QString full, properties, removal;
    } lists[] = {
        {"Costings", "trvCostings", 75,
         "The costing section has a maximum capacity of75 entries." + again,
         "You must select a Time Band Entry from the list above before the properties can be "
         "displayed.",
         "You must select a Time Band Entry from the list above before it can be removed."},
        {"CostingFurtherDetails", "trvCostingFurtherDetails", 50,
         "The costing further details section has a maximum capacity of50 entries." + again,
         "You must select a Further Detail Entry from the list above before the properties can "
         "be displayed.",
         "You must select a Further Detail Entry from the list above before it can be removed."},
        {"Applications", "trvApplications", 60,
         "The application section has a maximum capacity of60 entries.\n\r\n\rTo add another "
         "application entry you will need to remove an existing entry first.",
         "You must select an Application Entry from the list above before the properties can be "
         "displayed.",
         "You must select an Application Entry from the list above before it can be removed."}};
    for (const auto& l : lists) {
        f.prompts.shown.clear();
        for (const char* action : {"btnInsert", "btnProperties", "btnRemove"})
            f.find<QPushButton>(*window, (QString(action) + l.suffix).toLatin1())->click();
        EXPECT_EQ(f.prompts.texts(), (QStringList{l.full, l.properties, l.removal}));
        for (const auto& shown : f.prompts.shown)
            EXPECT_EQ(shown.kind, Prompts::Kind::Warning);

        // A connectoid's root selected: nothing happens, and nothing is said.
        f.prompts.shown.clear();
        QTreeWidget* t = tree(*window, l.tree);
        t->setCurrentItem(t->topLevelItem(0));
        f.find<QPushButton>(*window, (QString("btnProperties") + l.suffix).toLatin1())->click();
        f.find<QPushButton>(*window, (QString("btnRemove") + l.suffix).toLatin1())->click();
        EXPECT_TRUE(f.prompts.shown.isEmpty());
        EXPECT_EQ(t->topLevelItem(0)->childCount(), l.entries);
    }
    EXPECT_EQ(editors, 0);
}

TEST(OptionsLists, InsertPropertiesAndRemoveEditTheCopyThatOkSaves) {
    OptionsFixture f;
    f.dialUp.entryNames = QStringList{"Demo"};
    storeBand(f, 1, "Demo", "0.04");
    storeBand(f, 2, "Demo", "0.05");
    auto window = f.open();
    QTreeWidget* bands = tree(*window, "trvCostings");
    QStringList captions;
    bool accept = true;
    window->runEditor = [&](QDialog& editor) {
        captions << editor.windowTitle();
        editor.findChild<QLineEdit*>("txtEveryMinuteAdd")->setText("0.75");
        editor.findChild<QCheckBox*>("chkSunday")->setChecked(true);
        editor.findChild<QSpinBox*>("txtFinishHours")->setValue(20);
        if (!accept)
            return false;
        editor.findChild<QPushButton*>("btnOK")->click();
        return editor.result() == QDialog::Accepted;
    };

    // Insert key in the tree: a new band, selected.
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    f.find<QListWidget>(*window, "listvSections")->setCurrentRow(1);
    bands->setFocus();
    QTest::keyClick(bands, Qt::Key_Insert);
    ASSERT_EQ(window->workingCopy().lists.Costings[3].ChargePerMin, 0.75);
    EXPECT_EQ(slotOfNode(bands->currentItem()), 3);
    // Properties of band 1, cancelled, then accepted through a double click.
    bands->setCurrentItem(bands->topLevelItem(1)->child(0));
    accept = false;
    f.find<QPushButton>(*window, "btnPropertiesCostings")->click();
    EXPECT_EQ(window->workingCopy().lists.Costings[1].ChargePerMin, 0.04);
    accept = true;
    Q_EMIT bands->itemDoubleClicked(bands->currentItem(), 0);
    EXPECT_EQ(window->workingCopy().lists.Costings[1].ChargePerMin, 0.75);
    EXPECT_EQ(window->workingCopy().lists.Costings[1].Days, 62 | 1);
    EXPECT_EQ(captions, (QStringList{"Insert Time Band", "Properties", "Properties"}));
    // Delete removes band 2 at once; Backspace on a root removes nothing.
    bands->setCurrentItem(bands->topLevelItem(1)->child(1));
    QTest::keyClick(bands, Qt::Key_Delete);
    bands->setCurrentItem(bands->topLevelItem(1));
    QTest::keyClick(bands, Qt::Key_Backspace);
    EXPECT_EQ(treeText(bands).mid(0, 2),
              (QStringList{"Default | Su, 00:00:00-20:00:00, 0-0, 0, £0.75",
                           "Demo | M, Tu, W, Th, F, Su, 06:00:00-20:00:00, 0-0, 2, £0.75"}));
    EXPECT_EQ(f.lists.Costings[1].ChargePerMin, 0.04); // the live list waits for OK
    window->btnOKClick();
    EXPECT_EQ(f.stored("Number_Of_Costings"), "2");
    EXPECT_EQ(f.stored("Connectoid_Name", "Costing1"), "Demo");
    EXPECT_EQ(f.stored("Connectoid_Name", "Costing2"), "Default");
    EXPECT_FALSE(f.store.hasSection("Costing3"));
}

TEST(OptionsLists, APresetReplacesTheCopysBandsAndDetailsUntilOkOrCancel) {
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok);
        OptionsFixture f;
        const QString path = f.home.filePath("VORN.conf");
        IniSettingsStore file(path);
        f.liveStore = &file;
        for (int n = 1; n <= 4; ++n)
            file.setValue("Costing" + QString::number(n), "ChargePerMin", "9");
        file.setValue({}, "Number_Of_Costings", "4");
        file.setValue({}, "Number_Of_Costing_Further_Details", "1");
        file.setValue("Costing_Further_Details1", "Value", "7");
        f.load();
        const QByteArray before = fileBytes(path);
        TfrmConfiguration window(f.services());

        QStringList menu;
        for (QAction* submenu : window.popupPresets->actions())
            for (QAction* item : submenu->menu()->actions())
                menu << submenu->text() + " / " + item->text();
        EXPECT_EQ(menu, (QStringList{"United Kingdom - BT (local) / Standard",
                                     "United Kingdom - BT (local) / Friends and Family",
                                     "United Kingdom - BT (local) / Friends and Family with Best "
                                     "Friend",
                                     "United Kingdom - BT (local) / Friends and Family and "
                                     "Premierline",
                                     "United Kingdom - BT (local) / Friends and Family with Best "
                                     "Friend and Premierline",
                                     "Italy - Telecom Italia (local) / Standard",
                                     "Italy - Telecom Italia (local) / Discounted"}));

        auto* friendsAndFamily = window.findChild<QAction*>("mnuFF");
        ASSERT_TRUE(friendsAndFamily);
        friendsAndFamily->trigger(); // No
        EXPECT_EQ(tree(window, "trvCostings")->topLevelItem(0)->childCount(), 4);
        f.prompts.answerNext(Prompts::Answer::Yes);
        friendsAndFamily->trigger();
        ASSERT_EQ(f.prompts.shown.size(), 2);
        EXPECT_EQ(f.prompts.shown[0].text, "This operation will remove all your existing time "
                                           "bands and further details.\n\r\n\rAre you sure?");
        EXPECT_EQ(f.prompts.shown[0].buttons, Prompts::Buttons::YesNo);
        EXPECT_EQ(tree(window, "trvCostings")->topLevelItem(0)->childCount(), 3);
        EXPECT_EQ(treeText(tree(window, "trvCostingFurtherDetails")).first(),
                  "Default | Minimum Charge, 0-0, 0.05 | Apply Discount Percent To Minimum "
                  "Charge, 0-0, Yes | Discount (%), 0-0, 10.00");

        ok ? window.btnOKClick() : window.btnCancelClick();
        if (!ok) {
            EXPECT_EQ(fileBytes(path), before);
            continue;
        }
        EXPECT_EQ(file.value({}, "Number_Of_Costings"), "3");
        EXPECT_EQ(file.value("Costing2", "ChargePerMin"), "0.0395");
        EXPECT_FALSE(file.value("Costing4", "ChargePerMin"));
        EXPECT_EQ(file.value({}, "Number_Of_Costing_Further_Details"), "3");
        EXPECT_EQ(file.value("Costing_Further_Details3", "Value"), "10");
    }
}
