// The log window's editing commands over the hand-built log: Insert, Properties, Remove,
// Adjuster, Detail, Calculate and Import, their questions and warnings, and a log changed
// by another program while the window shows it.

#include "log_window_fixture.h"

#include "calllog/call_log_file.h"
#include "calllog/tfrm_import.h"
#include "core/user_name.h"
#include "tariff/call_costing.h"
#include "tariff/tariff_context.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>

namespace {

const QString LogChanged = "The call log has changed since this window last read it";

void setPicker(QDialog* d, const char* date, const char* time, const QDate& day, const QTime& at) {
    d->findChild<QDateEdit*>(date)->setDate(day);
    d->findChild<QTimeEdit*>(time)->setTime(at);
}

} // namespace

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
        CalculateCost(
            TariffContext{lists.Costings, lists.CostingFurtherDetails, regional, debugLog, false},
            connectoid, cost, start, finish);
        return cost;
    }
    // Insert through the dialog: the connectoid it offered, then a call of 30 minutes.
    QString insertCall() {
        QString offered;
        onNextModal([&](QDialog* d) {
            EXPECT_EQ(d->windowTitle(), "Insert Log Entry");
            offered = d->findChild<QComboBox*>("cboConnectoidName")->currentText();
            setPicker(d, "dtPickerStartDate", "dtPickerStartTime", {2024, 3, 30}, {10, 0});
            setPicker(d, "dtPickerFinishDate", "dtPickerFinishTime", {2024, 3, 30}, {10, 30});
            press(d, "cmdOK");
        });
        trigger("mnuInsert");
        return offered;
    }
};

TEST_F(LogEditing, InsertAddsAPricedCallUnderTheFilterAndRefreshes) {
    open();
    EXPECT_EQ(insertCall(), "Unknown/Other");
    chooseFilter("cboConnectoidMain", "Mobile");
    EXPECT_EQ(insertCall(), "Mobile");
    onNextModal([](QDialog* d) { QTest::keyClick(d, Qt::Key_Escape); });
    trigger("mnuInsert");

    const QList<typCallLogInformation> log = records();
    ASSERT_EQ(log.size(), 11);
    const TDateTime start = datetime::encode(2024, 3, 30, 10);
    const TDateTime finish = datetime::encode(2024, 3, 30, 10, 30);
    const typCallCostInformation cost = price("Mobile", start, finish);
    EXPECT_GT(cost.With_Discount, 0.5);
    EXPECT_EQ(log[10],
              (typCallLogInformation{start, finish, cost.With_Discount, cost.Without_Discount,
                                     ModeInsert, 0, 0, "Mobile", GetUserNameText(), 0}));
    EXPECT_EQ(log[9].Connectoid_Name, "Unknown/Other");
    EXPECT_EQ(log[9].Mode, ModeInsert);
    EXPECT_EQ(column(LogColumn::RecordNumber), QStringList({"11", "3"}));

    // The Insert key does the same; Escape cancels.
    onNextModal([](QDialog* d) { press(d, "cmdCancel"); });
    QTest::keyRelease(detail(), Qt::Key_Insert);
    EXPECT_EQ(records().size(), 11);
}

TEST_F(LogEditing, PropertiesTurnsACallIntoAnEditRepricedAndKeepsItsOtherFields) {
    open();
    const QByteArray before = bytes(logPath);
    selectRows({rowOf(1)}); // Home ISP, "Auto"
    QString offered;
    onNextModal([&](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Properties");
        offered = d->findChild<QComboBox*>("cboConnectoidName")->currentText();
        EXPECT_EQ(d->findChild<QDateEdit*>("dtPickerStartDate")->date(), QDate(2024, 1, 31));
        press(d, "cmdOK");
    });
    trigger("mnuProperties");
    EXPECT_EQ(offered, "Home ISP");

    const typCallLogInformation r = records()[0];
    const typCallLogInformation was = handbuilt::records()[0];
    const typCallCostInformation cost = price("Home ISP", was.Start, was.Finish);
    EXPECT_EQ(
        r, (typCallLogInformation{was.Start, was.Finish, cost.With_Discount, cost.Without_Discount,
                                  ModeEdit, was.Data, was.Connect_Speed, "Home ISP", "anna", 0}));
    // Nothing but that record changed.
    EXPECT_EQ(bytes(logPath).mid(92), before.mid(92));
    EXPECT_EQ(model().index(rowOf(1), static_cast<int>(LogColumn::Mode)).data().toString(), "Edit");

    // An entry of a connectoid that is gone is stored under "Unknown/Other".
    selectRows({rowOf(4)});
    onNextModal([](QDialog* d) { press(d, "cmdOK"); });
    trigger("mnuProperties");
    EXPECT_EQ(records()[3].Connectoid_Name, "Unknown/Other");
}

TEST_F(LogEditing, PropertiesOfAnAdjustmentOpenTheAdjusterAndKeepModeThree) {
    open();
    const typCallLogInformation was = records()[5];
    selectRows({rowOf(6)});
    onNextModal([](QDialog* d) {
        EXPECT_EQ(d->objectName(), "TfrmInsertAdjuster");
        EXPECT_EQ(d->windowTitle(), "Properties");
        auto* cost = d->findChild<QLineEdit*>("txtCost");
        EXPECT_EQ(cost->text(), "-0.25");
        cost->setText("1,5");
        press(d, "cmdOK");
    });
    trigger("mnuProperties");
    const typCallLogInformation r = records()[5];
    EXPECT_EQ(r.Mode, ModeAdjust);
    EXPECT_EQ(r.Cost_Inc, 1.5);
    EXPECT_EQ(r.Cost_Exc, 1.5);
    EXPECT_EQ(r.Finish, r.Start);
    EXPECT_EQ(r.Connectoid_Name, was.Connectoid_Name);
    EXPECT_EQ(r.User_Name, was.User_Name);
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
    const QList<QStringList> other = rows(child<QTreeWidget>("lstvOtherStatistics"));
    EXPECT_TRUE(other.contains(QStringList({"Number Of Deleted Log Entries", "5"})));
    EXPECT_TRUE(other.contains(QStringList({"Wasted Space", "55%"})));

    // Without a selection every command that needs one says so and does nothing.
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

TEST_F(LogEditing, AdjusterAddsACostAtTheMomentChosen) {
    open();
    chooseFilter("cboConnectoid", "Home ISP");
    onNextModal([](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Insert Adjuster");
        EXPECT_EQ(d->findChild<QLineEdit*>("txtCost")->text(), "0.00");
        d->findChild<QLineEdit*>("txtCost")->setText("12,5");
        press(d, "cmdOK");
    });
    trigger("mnuAdjuster");
    const typCallLogInformation r = records().last();
    EXPECT_EQ(r, (typCallLogInformation{handbuilt::now(), handbuilt::now(), 12.5, 12.5, ModeAdjust,
                                        0, 0, "Home ISP", GetUserNameText(), 0}));
    EXPECT_EQ(column(LogColumn::RecordNumber).first(), "10");
}

TEST_F(LogEditing, DetailShowsTheRowAndItsDiscountAndCalculateTotalsTheSelection) {
    typCallLogInformation free = handbuilt::records()[0];
    free.Cost_Inc = free.Cost_Exc = 0;
    AppendLogEntry(logPath, free);
    open();
    const struct {
        quint32 record;
        QString discount;
    } cases[] = {{10, "100.00"}, {4, "33.33"}, {3, "0.00"}};
    for (const auto& c : cases) {
        selectRows({rowOf(c.record)});
        QStringList shown;
        onNextModal([&](QDialog* d) {
            EXPECT_EQ(d->windowTitle(), "Further Details");
            for (const char* name :
                 {"txtConnectoidName", "txtConnectSpeed", "txtStart", "txtFinish", "txtCostExc",
                  "txtCostInc", "txtDT", "txtLength", "txtMode", "txtDiscount", "txtUser"})
                shown << d->findChild<QLineEdit*>(name)->text();
            press(d, "btnOK");
        });
        Q_EMIT detail()->doubleClicked(model().index(rowOf(c.record), 0));
        ASSERT_EQ(shown.size(), 11);
        EXPECT_EQ(shown[9], c.discount) << c.record;
        if (c.record == 3) {
            EXPECT_EQ(shown, QStringList({"Mobile", "115200", "10/02/2024 10:00:00",
                                          "10/02/2024 10:45:30", "£1.20", "£1.20", "n/a",
                                          "00:00:45:30", "Discon", "0.00", "Unknown/Other"}));
        }
    }

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
        auto* files = d->findChild<QComboBox*>("cboFilename");
        EXPECT_EQ(files->count(), 1);
        EXPECT_EQ(files->currentText(), "No log files were found to import");
        EXPECT_FALSE(d->findChild<QPushButton*>("cmdOK")->isEnabled());
        static_cast<TfrmImport*>(d)->cmdOKClick();
        press(d, "cmdCancel");
    });
    trigger("mnuImport");

    QByteArray old;
    for (int i = 0; i < 10; ++i) {
        typCallLogInformation r = handbuilt::records()[0];
        r.Start += i;
        r.Finish += i;
        QByteArray record = calllog::encodeRecord(r).left(88);
        record[86] = static_cast<char>(i == 9);
        old += record;
    }
    QFile f(logsFolderOf(dir.path()) + "/log.bin");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(old);
    f.close();
    const QString question = "Are you sure you want to append the following call log to your "
                             "existing log entries?\n\r\n\r" +
                             logsFolderOf(dir.path()) +
                             "/log.bin\n\r\n\rYou must ensure the "
                             "file selected is a VORN log file and is in the correct format.  "
                             "If needed click \"Help\" and refer to the import section for "
                             "futher details.";
    for (const Prompts::Answer answer :
         {Prompts::Answer::Help, Prompts::Answer::No, Prompts::Answer::Yes}) {
        prompts.answerNext(answer);
        onNextModal([](QDialog* d) {
            EXPECT_EQ(d->findChild<QComboBox*>("cboFilename")->currentText(), "log.bin");
            press(d, "cmdOK");
            if (d->isVisible())
                press(d, "cmdCancel");
        });
        trigger("mnuImport");
    }
    EXPECT_EQ(prompts.shown.size(), 4);
    EXPECT_EQ(prompts.shown[1].buttons, Prompts::Buttons::YesNoHelp);
    EXPECT_EQ(prompts.texts()[1], question);
    EXPECT_EQ(help.topics, QStringList({"log#import"}));
    const QList<typCallLogInformation> log = records();
    ASSERT_EQ(log.size(), 19);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(calllog::encodeRecord(log[9 + i]).left(44), old.mid(i * 88, 44));
        EXPECT_EQ(log[9 + i].User_Name, GetUserNameText());
        EXPECT_EQ(log[9 + i].Deleted, i == 9 ? 1 : 0);
    }
    EXPECT_EQ(model().rowCount(), 7 + 9);
    EXPECT_EQ(prompts.texts()[0], "No log files were found to import.");
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

    // Or while the dialog is open; or removes records so that the number points elsewhere.
    selectRows({rowOf(7)});
    onNextModal([&](QDialog* d) {
        calllog::removeRecords({6}, logPath);
        press(d, "cmdOK");
    });
    trigger("mnuProperties");
    EXPECT_TRUE(prompts.texts().last().startsWith(LogChanged));
    EXPECT_EQ(records()[6], [&] {
        typCallLogInformation r = other;
        r.Deleted = 1;
        return r;
    }());

    selectRows({rowOf(1), rowOf(8)});
    QFile::resize(logPath, 7 * 92);
    prompts.answerNext(Prompts::Answer::Yes);
    trigger("mnuRemove");
    EXPECT_TRUE(prompts.texts().last().startsWith(LogChanged));
    EXPECT_EQ(records()[0].Deleted, 0);
    EXPECT_EQ(records().size(), 7);
}
