// The log window's editing commands over the hand-built log (Insert, Adjuster, Properties,
// Remove, Detail, Calculate, Import, a log changed by another program while the window shows
// it) and the entry dialogs on their own.

#include "log_window_fixture.h"

#include "calllog/call_log_file.h"
#include "calllog/tfrm_import.h"
#include "calllog/tfrm_insert_adjuster.h"
#include "calllog/tfrm_insert_log.h"
#include "core/user_name.h"
#include "tariff/call_costing.h"
#include "tariff/tariff_context.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>

#include <ctime>

namespace {

const QString LogChanged = "The call log has changed since this window last read it";

void setPickers(QWidget* d, const char* which, const QDate& day, const QTime& at) {
    d->findChild<QDateEdit*>(QString("dtPicker%1Date").arg(which))->setDate(day);
    d->findChild<QTimeEdit*>(QString("dtPicker%1Time").arg(which))->setTime(at);
}

class LogEditing : public LogWindow {
protected:
    void SetUp() override {
        LogWindow::SetUp();
        // Every minute of every day at 2p.
        lists.Costings[1] = {"Default", 0, 0.999988425925926, 0, 0, 127, 0.02, 0};
    }
    QList<typCallLogInformation> records() const { return calllog::readAll(logPath); }
    // The row of the list showing a record.
    int rowOf(quint32 record) const {
        return static_cast<int>(column(LogColumn::RecordNumber).indexOf(QString::number(record)));
    }
    typCallCostInformation price(const QString& connectoid, TDateTime start, TDateTime finish) {
        typCallCostInformation cost;
        CalculateCost(tariff, connectoid, cost, start, finish);
        return cost;
    }
    // A dialog's answer: what it offered, after `fill`, OK.
    QString answer(const char* action, const QString& title,
                   const std::function<void(QDialog*)>& fill = {}) {
        QString offered;
        onNextModal([&](QDialog* d) {
            EXPECT_EQ(d->windowTitle(), title);
            if (auto* list = d->findChild<QComboBox*>("cboConnectoidName"))
                offered = list->currentText();
            if (auto* cost = d->findChild<QLineEdit*>("txtCost"))
                offered = cost->text();
            if (fill)
                fill(d);
            press(d, "cmdOK");
        });
        trigger(action);
        return offered;
    }
    TariffContext tariff{lists.Costings, lists.CostingFurtherDetails, regional, debugLog, false};
};

} // namespace

TEST_F(LogEditing, InsertAndAdjusterAddPricedEntriesUnderTheFilter) {
    open();
    const auto halfAnHour = [](QDialog* d) {
        setPickers(d, "Start", {2024, 3, 30}, {10, 0});
        setPickers(d, "Finish", {2024, 3, 30}, {10, 30});
    };
    EXPECT_EQ(answer("mnuInsert", "Insert Log Entry", halfAnHour), "Unknown/Other");
    chooseFilter("cboConnectoidMain", "Mobile");
    EXPECT_EQ(answer("mnuInsert", "Insert Log Entry", halfAnHour), "Mobile");
    EXPECT_EQ(answer("mnuAdjuster", "Insert Adjuster",
                     [](QDialog* d) { setField(d, "txtCost", "12,5"); }),
              "0.00");
    // Escape cancels, and so does Cancel after the Insert key.
    onNextModal([](QDialog* d) { QTest::keyClick(d, Qt::Key_Escape); });
    trigger("mnuAdjuster");
    onNextModal([](QDialog* d) { press(d, "cmdCancel"); });
    QTest::keyRelease(detail(), Qt::Key_Insert);

    const QList<typCallLogInformation> log = records();
    ASSERT_EQ(log.size(), 12);
    const TDateTime start = datetime::encode(2024, 3, 30, 10);
    const TDateTime finish = datetime::encode(2024, 3, 30, 10, 30);
    const typCallCostInformation cost = price("Mobile", start, finish);
    EXPECT_GT(cost.With_Discount, 0.5);
    EXPECT_EQ(log[9].Connectoid_Name, "Unknown/Other");
    EXPECT_EQ(log.mid(10),
              QList({typCallLogInformation{start, finish, cost.With_Discount, cost.Without_Discount,
                                           ModeInsert, 0, 0, "Mobile", GetUserNameText(), 0},
                     {handbuilt::now(), handbuilt::now(), 12.5, 12.5, ModeAdjust, 0, 0, "Mobile",
                      GetUserNameText(), 0}}));
    EXPECT_EQ(column(LogColumn::RecordNumber), QStringList({"12", "11", "3"}));
}

TEST_F(LogEditing, PropertiesRepriceACallAsAnEditAndKeepAnAdjustmentAnAdjustment) {
    open();
    const QByteArray before = bytes(logPath);
    selectRows({rowOf(1)}); // Home ISP, "Auto"
    EXPECT_EQ(answer("mnuProperties", "Properties"), "Home ISP");
    const typCallLogInformation was = handbuilt::records()[0];
    const typCallCostInformation cost = price("Home ISP", was.Start, was.Finish);
    EXPECT_EQ(records()[0], (typCallLogInformation{was.Start, was.Finish, cost.With_Discount,
                                                   cost.Without_Discount, ModeEdit, was.Data,
                                                   was.Connect_Speed, "Home ISP", "anna", 0}));
    EXPECT_EQ(bytes(logPath).mid(92), before.mid(92)); // that record only
    EXPECT_EQ(model().index(rowOf(1), static_cast<int>(LogColumn::Mode)).data().toString(), "Edit");

    // An adjustment opens the adjuster and stays one.
    typCallLogInformation adjustment = records()[5];
    selectRows({rowOf(6)});
    EXPECT_EQ(answer("mnuProperties", "Properties",
                     [](QDialog* d) {
                         EXPECT_EQ(d->objectName(), "TfrmInsertAdjuster");
                         setField(d, "txtCost", "1,5");
                     }),
              "-0.25");
    adjustment.Cost_Inc = adjustment.Cost_Exc = 1.5;
    EXPECT_EQ(records()[5], adjustment);

    // An entry of a connectoid that is gone is stored under "Unknown/Other".
    selectRows({rowOf(4)});
    EXPECT_EQ(answer("mnuProperties", "Properties"), "Unknown/Other");
    EXPECT_EQ(records()[3].Connectoid_Name, "Unknown/Other");
}

TEST_F(LogEditing, RemoveFlagsEverySelectedRecordAfterOneQuestion) {
    open();
    const QByteArray before = bytes(logPath);
    selectRows({rowOf(1), rowOf(4), rowOf(7)});
    prompts.answerNext(Prompts::Answer::No);
    trigger("mnuRemove");
    EXPECT_EQ(bytes(logPath), before);
    prompts.answerNext(Prompts::Answer::Yes);
    QTest::keyRelease(detail(), Qt::Key_Delete);
    EXPECT_EQ(prompts.texts(),
              QStringList(2, "Are you sure you want to delete the selected log entries?"));
    QByteArray expected = before;
    for (const int record : {1, 4, 7})
        expected[(record - 1) * 92 + 91] = 1;
    EXPECT_EQ(bytes(logPath), expected);
    EXPECT_EQ(column(LogColumn::RecordNumber), QStringList({"6", "5", "3", "8"}));
    EXPECT_TRUE(rows(child<QTreeWidget>("lstvOtherStatistics"))
                    .contains(QStringList({"Number Of Deleted Log Entries", "5"})));

    // Without a selection each command that needs one says so and does nothing.
    detail()->clearSelection();
    for (const char* action : {"mnuDetail", "mnuProperties", "mnuRemove", "mnuCalculate"})
        trigger(action);
    EXPECT_EQ(prompts.texts().mid(2),
              QStringList({"You must select a Log Entry from the list before further details "
                           "can be displayed.",
                           "You must select a Log Entry from the list before the properties can "
                           "be displayed.",
                           "You must select a Log Entry from the list before it can be removed.",
                           "You must select a least one Log Entry from the list before a total "
                           "can be calculated."}));
}

TEST_F(LogEditing, DetailShowsTheRowAndItsDiscountAndCalculateTotalsTheSelection) {
    typCallLogInformation free = handbuilt::records()[0];
    free.Cost_Inc = free.Cost_Exc = 0;
    AppendLogEntry(logPath, free);
    open();
    const auto shownFields = [&](quint32 record) {
        QStringList shown;
        onNextModal([&](QDialog* d) {
            EXPECT_EQ(d->windowTitle(), "Further Details");
            for (QLineEdit* field : d->findChildren<QLineEdit*>())
                shown << field->text();
            press(d, "btnOK");
        });
        selectRows({rowOf(record)});
        Q_EMIT detail()->doubleClicked(model().index(rowOf(record), 0));
        return shown;
    };
    EXPECT_EQ(shownFields(10).value(9), "100.00");
    EXPECT_EQ(shownFields(4).value(9), "33.33");
    EXPECT_EQ(shownFields(3), QStringList({"Mobile", "115200", "10/02/2024 10:00:00",
                                           "10/02/2024 10:45:30", "£1.20", "£1.20", "n/a",
                                           "00:00:45:30", "Discon", "0.00", "Unknown/Other"}));

    selectRows({rowOf(1), rowOf(3), rowOf(8)});
    trigger("mnuCalculate");
    EXPECT_EQ(prompts.shown.last().kind, Prompts::Kind::Information);
    EXPECT_EQ(prompts.texts().last(), "Total Time : 00:01:15:30\n\rTotal Cost (exc) : £1.70\n\r"
                                      "Total Cost (inc) : £1.65\n\rTotal Data : 4.00GB");
}

TEST_F(LogEditing, ImportAppendsAnOlderLogAfterItsQuestion) {
    open();
    // Without an older log there is nothing to choose.
    onNextModal([](QDialog* d) {
        EXPECT_EQ(d->findChild<QComboBox*>("cboFilename")->currentText(),
                  "No log files were found to import");
        EXPECT_FALSE(d->findChild<QPushButton*>("cmdOK")->isEnabled());
        static_cast<TfrmImport*>(d)->cmdOKClick();
        press(d, "cmdCancel");
    });
    trigger("mnuImport");
    EXPECT_EQ(prompts.texts(), QStringList({"No log files were found to import."}));

    QFile f(logsFolderOf(dir.path()) + "/log.bin");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    for (int i = 0; i < 10; ++i)
        f.write(calllog::encodeRecord(handbuilt::records()[0]).left(88));
    f.close();
    for (const auto answer : {Prompts::Answer::Help, Prompts::Answer::No, Prompts::Answer::Yes}) {
        prompts.answerNext(answer);
        onNextModal([](QDialog* d) {
            EXPECT_EQ(d->findChild<QComboBox*>("cboFilename")->currentText(), "log.bin");
            press(d, "cmdOK");
            if (d->isVisible())
                press(d, "cmdCancel");
        });
        trigger("mnuImport");
    }
    ASSERT_EQ(prompts.shown.size(), 4);
    EXPECT_EQ(prompts.shown[1].buttons, Prompts::Buttons::YesNoHelp);
    EXPECT_EQ(prompts.texts()[1],
              "Are you sure you want to append the following call log to your existing log "
              "entries?\n\r\n\r" +
                  f.fileName() +
                  "\n\r\n\rYou must ensure the file selected is a VORN log file and is "
                  "in the correct format.  If needed click \"Help\" and refer to the import "
                  "section for futher details.");
    EXPECT_EQ(help.topics, QStringList({"log#import"}));
    EXPECT_EQ(records().size(), 19);
    EXPECT_EQ(records().last().User_Name, GetUserNameText());
    EXPECT_EQ(model().rowCount(), 7 + 10);
}

TEST_F(LogEditing, ARecordChangedUnderTheWindowIsNeverOverwritten) {
    open();
    // Another program rewrites record 7 after the window read the log.
    typCallLogInformation other = handbuilt::records()[6];
    other.Start -= 1;
    calllog::writeRecord(logPath, 6, other);
    const QByteArray changed = bytes(logPath);
    selectRows({rowOf(7)});
    trigger("mnuProperties");
    EXPECT_TRUE(prompts.texts().last().startsWith(LogChanged));
    EXPECT_EQ(bytes(logPath), changed);
    EXPECT_EQ(column(LogColumn::Start)[rowOf(7)], "09/03/2024 20:00:00"); // refreshed

    // Or while the dialog is open; or shortens the log under a Remove.
    selectRows({rowOf(7)});
    onNextModal([&](QDialog* d) {
        calllog::removeRecords({6}, logPath);
        press(d, "cmdOK");
    });
    trigger("mnuProperties");
    EXPECT_TRUE(prompts.texts().last().startsWith(LogChanged));
    other.Deleted = 1;
    EXPECT_EQ(records()[6], other);

    selectRows({rowOf(1), rowOf(8)});
    QFile::resize(logPath, 7 * 92);
    prompts.answerNext(Prompts::Answer::Yes);
    trigger("mnuRemove");
    EXPECT_TRUE(prompts.texts().last().startsWith(LogChanged));
    EXPECT_EQ(records()[0].Deleted, 0);
}

TEST_F(LogEditing, TheInsertDialogTakesAtMostFiveDaysAsTypedWhereTheClockSkipsAnHour) {
    typCallLogInformation entry{
        datetime::encode(2024, 3, 10, 20), 0, 0, 0, 0, 0, 0, "Mobile", "anna", 0};
    entry.Finish = entry.Start;
    const QStringList connectoids{"Home ISP", "Mobile", "Unknown/Other"};
    TfrmInsertLog d(entry, "Insert Log Entry", connectoids, tariff, regional);
    auto* ok = d.findChild<QPushButton*>("cmdOK");
    for (const auto& [day, at, enabled] :
         {std::tuple{QDate(2024, 3, 10), QTime(20, 0), true}, // no length at all
          {QDate(2024, 3, 15), QTime(20, 0), true},           // exactly five days
          {QDate(2024, 3, 15), QTime(20, 0, 1), false},       // and a second
          {QDate(2024, 3, 10), QTime(19, 59, 59), false}}) {
        setPickers(&d, "Finish", day, at);
        EXPECT_EQ(ok->isEnabled(), enabled) << at.toString().toStdString();
    }
    d.show();
    d.close(); // the close box cancels
    EXPECT_EQ(entry.Mode, -1);

    const QByteArray savedZone = qgetenv("TZ");
    qputenv("TZ", "Europe/London");
    tzset();
    TfrmInsertLog london(entry, "Insert Log Entry", connectoids, tariff, regional);
    // 01:30 on 31 March 2024 never happened in London: the clocks went from 01:00 to 02:00.
    setPickers(&london, "Start", {2024, 3, 31}, {1, 30});
    setPickers(&london, "Finish", {2024, 3, 31}, {3, 0});
    press(&london, "cmdOK");
    qputenv("TZ", savedZone);
    tzset();
    const double day = QDate(1899, 12, 30).daysTo(QDate(2024, 3, 31));
    EXPECT_EQ(std::tuple(entry.Start, entry.Finish, entry.Mode),
              std::tuple(day + 1.5 / 24, day + 3.0 / 24, 0));
}

TEST_F(LogEditing, TheCostBoxNeverGroupsAndObeysItsCharactersWhenPastedToo) {
    typCallLogInformation entry{0, 0, 1234, 0, 0, 0, 0, "Mobile", "anna", 0};
    RegionalSettings yen = regional;
    yen.currencyDecimals = 0;
    TfrmInsertAdjuster d(entry, "Properties", yen);
    EXPECT_EQ(d.findChild<QLineEdit*>("txtCost")->text(), "1234");
    press(&d, "cmdOK");
    EXPECT_EQ(std::pair(entry.Cost_Inc, entry.Cost_Exc), std::pair(1234.0, 1234.0));

    TfrmInsertAdjuster typed(entry, "Insert Adjuster", regional);
    auto* cost = typed.findChild<QLineEdit*>("txtCost");
    cost->clear();
    typeText(cost, "-1x2,5");
    EXPECT_EQ(cost->text(), "12,5");
    press(&typed, "cmdOK"); // Return presses OK without leaving the box
    EXPECT_EQ(cost->text(), "12.50");
    EXPECT_EQ(entry.Cost_Inc, 12.5);

    TfrmInsertAdjuster invalid(entry, "Insert Adjuster", regional);
    setField(&invalid, "txtCost", ",");
    press(&invalid, "cmdOK");
    EXPECT_EQ(entry.Cost_Inc, 0);
    invalid.show();
    invalid.close();
    EXPECT_EQ(entry.Mode, -1);
}
