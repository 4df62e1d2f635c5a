// The options dialog: every control against the value it stands for, OK and Cancel, the
// rules between controls, what the platform cannot do, and its own buttons.
#include "options_fixture.h"

#include "core/datetime.h"
#include "core/ini_settings_store.h"
#include "widgets/window_frame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimeEdit>

namespace {

// Each control with the stored text it starts from and the edit the test makes:
// "control stored[=shown] edit[=saved]". The stored value is the one whose name is the
// control's without its prefix; a radio group or list shows an index, a track bar its label
// (its edit is a number of steps).
const char* const Rows = R"(
radioIntelligentDisplay 4 6  chkShowTime 0 1  chkShowCost 0 1  chkShowCostPerMinute 1 0
chkShowDTR 0 1  chkShowDataTransferred 0 1  chkShowConnectSpeed 1 0  cboShowDigitalDisplay 2 1
cboNumberOfCharacters 6 0  cboCharacterSize 2 0  cboPixelSpacing 1 0  chkHideTrayIcon 1 0
chkIndicateMinimumCharge 0 1  chkIndicateMaximumCharge 0 1  chkShowCostIncludingDiscount 1 0
chkFlashIconMinimum 1 0  chkFlashIconConnected 0 1  chkFlashIconMaximum 1 0  cboDataDTR 0 1
cboDecimalPlacesChargeBands 3 5  cboDecimalPlacesLogStatistics 1 2  cboDecimalPlacesDisplay 2 0
cboDecimalPlacesLogDetail 4 1  cboDecimalPlacesDTR 5 3  cboDecimalPlacesCostPerMinute 5 4
cboDecimalPlacesDataTransferred 2 1  chkNoChargeBands 1 0  cboDataLog 1 0  radioDefaultMenu 5 3
chkBackupLog 0 1  chkAlternativeDetector 1 0  chkEnableTransmitReceive 0 1  chkCompactCallLog 0 1
chkAdjustDisplayAfterResolutionChange 1 0  chkAdjustIntelligenceAfterResolutionChange 1 0
chkDisableChecks 1 0  chkExitVORN 1 0  chkDebugLogging 1 0  cboApplicationsDelay 29 0
cboPriorityOfApplication 2 0  cboDialUpService pppd=2 3=simulated  chkDialUpAllProfiles 1 0
chkIconHintCost 0 1  chkIconHintDuration 0 1  chkIconHintCostPerMinute 1 0  chkIconHintDTR 0 1
chkIconHintData 1 0  chkIconHintIPAddress 1 0  chkIconHintConnectSpeed 0 1  txtAutoDisconnect 90 45
txtAutoDisconnectConnectSpeed 28800 9600  txtAutoIdleDisconnect 12 3
txtAutoDisconnectExceedCost 2,5=2.5 1.75  chkAutoDisconnectFreeMinutes 1 0
chkAutoDisconnectMinimumPeriod 1 0  cboOperationAfterAutoDisconnecting 1 2
cboOperationAfterDisconnecting 2 1  trackIntervalCallChecker 3000=3.0s 1=3500
trackIntervalAutoHide 200=0.2s 1=250  trackIntervalCalculateCost 1000=1.0s 1=1500
trackIntervalTransmitReceive 500=0.50s 1=550  trackIntervalDTR 8000=8.0s 1=8500
trackIntervalDisplayChanger 2500=2.5s -1=2000  radioSoundEventWhenConnected 1 2
radioSoundEventWhenDisconnect 2 3  radioSoundEventAtMinimumCharge 3 0
radioSoundEventAtMaximumCharge 1 0  radioSoundEventAtAutoDisconnectStart 2 1
radioSoundEventNewMailNotification 3 2)";

struct Row {
    QString control, key, stored, shown, edit, saved;
};

// What OK on a file that holds nothing yet must store: the loaded defaults, saved.
QMap<QString, QString> savedDefaults() {
    OptionsFixture f;
    f.load();
    MemorySettingsStore saved;
    SaveOptions(saved, f.settings, f.lists, f.regional);
    return saved.values({});
}

QList<Row> rows() {
    const QStringList keys = savedDefaults().keys();
    const QStringList words = QString(Rows).split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
    QList<Row> out;
    for (qsizetype i = 0; i + 2 < words.size(); i += 3) {
        const auto part = [&](int k, int p) { return words[i + k].section(u'=', p, p); };
        Row r{words[i], {}, part(1, 0), part(1, -1), part(2, 0), part(2, -1)};
        const QString name = r.control.section(QRegularExpression("[A-Z]"), 0, 0);
        for (const QString& key : keys)
            if (QString(key).remove(u'_').compare(r.control.mid(name.size()),
                                                  Qt::CaseInsensitive) == 0)
                r.key = key;
        EXPECT_FALSE(r.key.isEmpty()) << r.control.toStdString();
        out << r;
    }
    return out;
}

QList<QRadioButton*> radios(const QWidget* group) {
    return group->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
}

QString shownBy(QWidget* control) {
    if (auto* box = qobject_cast<QCheckBox*>(control))
        return box->isChecked() ? "1" : "0";
    if (auto* list = qobject_cast<QComboBox*>(control))
        return QString::number(list->currentIndex());
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text();
    if (qobject_cast<QSlider*>(control))
        return control->parentWidget()->findChild<QLabel*>()->text();
    const auto items = radios(control);
    for (int i = 0; i < items.size(); ++i)
        if (items[i]->isChecked())
            return QString::number(i);
    return "-1";
}

void editTo(QWidget* control, const QString& edit) {
    if (auto* box = qobject_cast<QCheckBox*>(control))
        box->setChecked(edit == "1");
    else if (auto* list = qobject_cast<QComboBox*>(control))
        list->setCurrentIndex(edit.toInt());
    else if (auto* line = qobject_cast<QLineEdit*>(control))
        line->setText(edit);
    else if (auto* bar = qobject_cast<QSlider*>(control))
        bar->setValue(bar->value() + edit.toInt());
    else
        radios(control).at(edit.toInt())->setChecked(true);
}

} // namespace

TEST(Options, EveryControlShowsItsStoredValueAndOkStoresTheEdit) {
    OptionsFixture f;
    const QList<Row> table = rows();
    for (const Row& row : table)
        f.set(row.key.toLatin1().constData(), row.stored);
    auto window = f.open();
    for (const Row& row : table) {
        QWidget* control = window->findChild<QWidget*>(row.control);
        ASSERT_TRUE(control) << row.control.toStdString();
        EXPECT_EQ(shownBy(control), row.shown) << row.control.toStdString();
        editTo(control, row.edit);
    }
    // A colour chosen goes into its swatch; the live record waits for OK.
    auto* swatch = f.find<QWidget>(*window, "shpColorLEDCosts");
    f.dialogs.cancelNext();
    f.find<QPushButton>(*window, "btnColorLEDCosts")->click();
    EXPECT_EQ(swatch->palette().color(QPalette::Window), QColor(255, 255, 128));
    f.dialogs.answerNext(QColor(1, 2, 3));
    f.find<QPushButton>(*window, "btnColorLEDCosts")->click();
    ASSERT_EQ(f.dialogs.asked.size(), 2);
    EXPECT_EQ(f.dialogs.asked[1].kind, ScriptedDialogs::Kind::ChooseColour);
    EXPECT_EQ(f.dialogs.asked[1].text, QColor(255, 255, 128).name());
    EXPECT_EQ(swatch->palette().color(QPalette::Window), QColor(1, 2, 3));
    EXPECT_EQ(f.settings.Color_LED_Costs, 8454143);
    window->btnOKClick();
    EXPECT_EQ(window->result(), QDialog::Accepted);
    for (const Row& row : table)
        EXPECT_EQ(f.stored(row.key), row.saved) << row.control.toStdString();
    EXPECT_EQ(f.stored("Color_LED_Costs"), QString::number(1 + 2 * 256 + 3 * 65536));
}

TEST(Options, CancelLeavesTheSettingsFileAsItWas) {
    OptionsFixture f;
    const QString path = f.home.filePath("VORN.conf");
    IniSettingsStore file(path);
    const QList<Row> table = rows();
    for (const Row& row : table)
        file.setValue({}, row.key, row.stored);
    file.setValue({}, "Color_LED_Time", "255");
    f.liveStore = &file;
    f.load();
    const QByteArray before = fileBytes(path);
    auto window = std::make_unique<TfrmConfiguration>(f.services());
    for (const Row& row : table)
        editTo(window->findChild<QWidget*>(row.control), row.edit);
    f.dialogs.answerNext(QColor(Qt::blue));
    f.find<QPushButton>(*window, "btnColorLEDTime")->click();
    window->btnCancelClick();
    EXPECT_EQ(window->result(), QDialog::Rejected);
    window.reset();
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(f.settings.Color_LED_Time, 255);
}

// A file holding only a window size the screen cannot take: OK stores the defaults, leaving
// the hang-up time and the call-length limit to the main window, and the size it has now.
TEST(Options, SectionsPagesHelpAndSizeAndOkOnAFreshFileStoresTheDefaults) {
    OptionsFixture f;
    f.set("Options_Window_Width", "5000").set("Options_Window_Height", "100");
    auto window = f.open();
    auto* sections = f.find<QListWidget>(*window, "listvSections");
    auto* pages = f.find<QTabWidget>(*window, "pageConfiguration");
    const QStringList pagesOf[] = {
        {"Display", "Decimal Places and Colours"},
        {"Time Bands", "Time Bands - Further Details", "Options"},
        {"Applications"},
        {"General", "General (cont...)", "Disconnect", "Sensitivity", "Sound"}};
    ASSERT_EQ(sections->count(), 4);
    f.find<QPushButton>(*window, "btnHelp")->click();
    for (int s = 0; s < 4; ++s) {
        sections->setCurrentRow(s);
        QStringList shown;
        for (int i = 0; i < pages->count(); ++i)
            if (pages->isTabVisible(i))
                shown << pages->tabText(i);
        EXPECT_EQ(shown, pagesOf[s]);
        EXPECT_EQ(pages->tabText(pages->currentIndex()), pagesOf[s].first());
    }
    pages->setCurrentIndex(10);
    f.find<QPushButton>(*window, "btnHelp")->click();
    EXPECT_EQ(f.help.topics, (QStringList{"options#display", "options#sound"}));
    EXPECT_EQ(f.find<QLabel>(*window, "statusLink")->text(), StatusLinkText);
    // Too wide for the screen and too low for the minimum: the minimum, or more when the
    // pages need it.
    EXPECT_GE(window->width(), 590);
    EXPECT_GE(window->height(), 450);
    EXPECT_LE(window->width(), 800);
    EXPECT_LE(window->height(), 600);
    window->resize(window->width() + 20, window->height() + 10);
    EXPECT_TRUE(f.find<QPushButton>(*window, "btnOK")->isDefault());
    window->btnOKClick();
    auto expected = savedDefaults();
    expected.remove("Auto_At_Disconnect");
    expected.remove("Auto_Disconnect");
    expected["Options_Window_Width"] = QString::number(window->width());
    expected["Options_Window_Height"] = QString::number(window->height());
    expected["Version"] = "1.17";
    EXPECT_EQ(f.store.values({}), expected);
    EXPECT_EQ(f.ledShown, 1); // "Always" shows the LED window
}

TEST(Options, InterlocksBetweenTheDisplayBoxes) {
    OptionsFixture f;
    f.set("Show_Cost", "0").set("Show_DTR", "0").set("Show_Data_Transferred", "0");
    f.set("Show_CostPerMinute", "1");
    auto window = f.open();
    auto box = [&](const char* name) { return f.find<QCheckBox>(*window, name); };
    const auto checked = [&](std::initializer_list<const char*> names) {
        QString out;
        for (const char* name : names)
            out += box(name)->isChecked() ? '1' : '0';
        return out;
    };

    // The flash options: whilst connected excludes the two charge periods.
    for (const char* name : {"chkFlashIconMinimum", "chkFlashIconMaximum", "chkFlashIconConnected"})
        box(name)->click();
    EXPECT_EQ(checked({"chkFlashIconMinimum", "chkFlashIconMaximum", "chkFlashIconConnected"}),
              "001");
    box("chkFlashIconMaximum")->click();
    EXPECT_EQ(checked({"chkFlashIconMaximum", "chkFlashIconConnected"}), "10");

    // The last Show box: Time comes back with a warning.
    box("chkShowTime")->click();
    EXPECT_TRUE(f.prompts.shown.isEmpty());
    box("chkShowCostPerMinute")->setChecked(false);
    box("chkShowConnectSpeed")->setChecked(true);
    box("chkShowConnectSpeed")->click();
    ASSERT_EQ(f.prompts.shown.size(), 1);
    EXPECT_EQ(f.prompts.shown[0].kind, Prompts::Kind::Warning);
    EXPECT_TRUE(f.prompts.shown[0].text.startsWith(
        "At least one Show option must be enabled.  Time will be automatically checked"));
    EXPECT_TRUE(box("chkShowTime")->isChecked());

    // Hiding the tray icon is asked; No takes it back, and unchecking asks nothing.
    f.prompts.answerNext(Prompts::Answer::No);
    box("chkHideTrayIcon")->click();
    EXPECT_FALSE(box("chkHideTrayIcon")->isChecked());
    f.prompts.answerNext(Prompts::Answer::Yes);
    box("chkHideTrayIcon")->click();
    EXPECT_TRUE(box("chkHideTrayIcon")->isChecked());
    box("chkHideTrayIcon")->click();
    ASSERT_EQ(f.prompts.shown.size(), 3);
    EXPECT_EQ(f.prompts.shown[1].buttons, Prompts::Buttons::YesNo);
    EXPECT_TRUE(f.prompts.shown[1].text.endsWith(
        "support web page.\n\r\n\rAre you sure you want to enable this option?"));
}

TEST(Options, WhatThePlatformCannotDoIsSwitchedOff) {
    const char* speedBoxes[] = {"chkShowConnectSpeed", "chkIconHintConnectSpeed"};
    const char* rateControls[] = {"chkShowDTR",       "chkShowDataTransferred",
                                  "chkIconHintData",  "chkIconHintDTR",
                                  "cboDataDTR",       "cboDataLog",
                                  "lblDataDTR",       "lblDataLog",
                                  "trackIntervalDTR", "lblIntervalDTR",
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
        for (const char* name : rateControls) {
            QWidget* control = f.find<QWidget>(*window, name);
            EXPECT_EQ(control->isEnabled(), rate) << name;
            if (auto* box = qobject_cast<QCheckBox*>(control)) {
                EXPECT_EQ(box->isChecked(), rate) << name;
            }
        }
        EXPECT_EQ(f.find<QLineEdit>(*window, "txtAutoIdleDisconnect")->text(), rate ? "7" : "0");
    }
}

TEST(Options, TrackBarsShowSecondsAndGoBackToTheirDefaults) {
    OptionsFixture f;
    auto window = f.open();
    // The label at the bar's minimum, maximum, and default.
    const char* const bars[][4] = {{"trackIntervalCallChecker", "0.5s", "5.0s", "2.0s"},
                                   {"trackIntervalAutoHide", "0.1s", "0.5s", "0.1s"},
                                   {"trackIntervalCalculateCost", "0.5s", "5.0s", "2.0s"},
                                   {"trackIntervalTransmitReceive", "0.10s", "1.00s", "0.25s"},
                                   {"trackIntervalDTR", "0.5s", "10.0s", "5.0s"},
                                   {"trackIntervalDisplayChanger", "0.5s", "5.0s", "1.5s"}};
    const auto label = [&](const char* bar) { return shownBy(f.find<QSlider>(*window, bar)); };
    for (const auto& b : bars) {
        auto* bar = f.find<QSlider>(*window, b[0]);
        bar->setValue(bar->minimum());
        EXPECT_EQ(label(b[0]), b[1]);
        bar->setValue(bar->maximum());
        EXPECT_EQ(label(b[0]), b[2]);
    }
    f.find<QPushButton>(*window, "btnDefaultSensitivity")->click();
    for (const auto& b : bars)
        EXPECT_EQ(label(b[0]), b[3]);
    window->btnOKClick();
    EXPECT_EQ(f.stored("Interval_Transmit_Receive"), "250");
    EXPECT_EQ(f.stored("Interval_DTR"), "5000");
}

TEST(Options, OkAppliesTheEditRulesAndStoresTheHangUpTimeOnlyWhenTheUserChangedIt) {
    OptionsFixture f;
    const TDateTime at = datetime::encode(2023, 3, 16, 12, 30, 15);
    f.set("Auto_At_Disconnect", datetime::floatToText(at, f.regional));
    f.set("Auto_Disconnect_Exceed_Cost", "-3").set("Auto_Disconnect", "15");
    auto window = f.open();
    auto edit = [&](const char* name) { return f.find<QLineEdit>(*window, name); };
    for (const char* name :
         {"txtAutoDisconnect", "txtAutoIdleDisconnect", "txtAutoDisconnectConnectSpeed"})
        edit(name)->setText("");
    EXPECT_EQ(edit("txtAutoDisconnectExceedCost")->text(), "-3");
    EXPECT_EQ(f.find<QDateEdit>(*window, "dtPickerAtDate")->date(), QDate(2023, 3, 16));
    EXPECT_EQ(f.find<QTimeEdit>(*window, "dtPickerAtTime")->time(), QTime(12, 30, 15));
    // A call starts meanwhile and moves the time on.
    f.settings.Auto_At_Disconnect = at + 0.5;
    f.set("Auto_At_Disconnect", "45001");
    window->btnOKClick();
    for (const char* key : {"Auto_Disconnect", "Auto_Idle_Disconnect",
                            "Auto_Disconnect_Connect_Speed", "Auto_Disconnect_Exceed_Cost"})
        EXPECT_EQ(f.stored(key), "0") << key;
    EXPECT_EQ(f.stored("Auto_At_Disconnect"), "45001");
    EXPECT_DOUBLE_EQ(f.settings.Auto_At_Disconnect, at + 0.5);

    window = f.open();
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
    f.home.remove(); // the folder is gone: the user hears of it
    f.prompts.answerNext(Prompts::Answer::Yes);
    button->click();
    ASSERT_EQ(f.prompts.shown.size(), 4);
    EXPECT_EQ(f.prompts.shown[3].kind, Prompts::Kind::Error);
    EXPECT_TRUE(f.prompts.shown[3].text.contains(path));
}

TEST(Options, StartingAtLogInIsTheDesktopsSettingChangedOnlyByOk) {
    OptionsFixture f;
    EXPECT_TRUE(f.find<QCheckBox>(*f.open(), "chkStartAtLogin")->isHidden());
    FakeAutostart autostart;
    f.autostart = &autostart;
    auto window = f.open();
    auto* box = f.find<QCheckBox>(*window, "chkStartAtLogin");
    EXPECT_FALSE(box->isHidden());
    EXPECT_EQ(box->text(), "Start VORN when I log in");
    box->setChecked(true);
    window->btnCancelClick();
    EXPECT_EQ(autostart.changes, 0);
    for (bool fails : {false, true, false}) {
        autostart.failure = fails ? "Permission denied" : "";
        window = f.open();
        box = f.find<QCheckBox>(*window, "chkStartAtLogin");
        EXPECT_EQ(box->isChecked(), autostart.enabled);
        box->setChecked(!autostart.enabled || !fails); // the last OK changes nothing
        window->btnOKClick();
    }
    // Switched on by the first OK; the second could not switch it off, and said so;
    // unchanged, nothing is asked of the desktop.
    EXPECT_TRUE(autostart.enabled);
    EXPECT_EQ(autostart.changes, 2);
    EXPECT_EQ(f.prompts.texts(),
              QStringList{"Starting VORN when you log in could not be changed: Permission denied"});
    EXPECT_FALSE(f.store.hasValue({}, "Start_At_Login"));
}
