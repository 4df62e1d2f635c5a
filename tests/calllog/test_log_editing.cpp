// The log window's editing commands over the hand-built log: Insert, Adjuster, Properties,
// Remove, Detail, Calculate and Import with their questions and warnings, and a log changed
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
};

TEST_F(LogEditing, InsertAndAdjusterAddPricedEntriesUnderTheFilter) {
    open();
    const auto halfAnHour = [](QDialog* d) {
        d->findChild<QDateEdit*>("dtPickerStartDate")->setDate({2024, 3, 30});
        d->findChild<QTimeEdit*>("dtPickerStartTime")->setTime({10, 0});
        d->findChild<QDateEdit*>("dtPickerFinishDate")->setDate({2024, 3, 30});
        d->findChild<QTimeEdit*>("dtPickerFinishTime")->setTime({10, 30});
    };
    EXPECT_EQ(answer("mnuInsert", "Insert Log Entry", halfAnHour), "Unknown/Other");
    chooseFilter("cboConnectoidMain", "Mobile");
    EXPECT_EQ(answer("mnuInsert", "Insert Log Entry", halfAnHour), "Mobile");
    EXPECT_EQ(answer("mnuAdjuster", "Insert Adjuster",
                     [](QDialog* d) { d->findChild<QLineEdit*>("txtCost")->setText("12,5"); }),
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
    EXPECT_EQ(log[10],
              (typCallLogInformation{start, finish, cost.With_Discount, cost.Without_Discount,
                                     ModeInsert, 0, 0, "Mobile", GetUserNameText(), 0}));
    EXPECT_EQ(log[11], (typCallLogInformation{handbuilt::now(), handbuilt::now(), 12.5, 12.5,
                                              ModeAdjust, 0, 0, "Mobile", GetUserNameText(), 0}));
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
                         d->findChild<QLineEdit*>("txtCost")->setText("1,5");
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
    for (const auto& [record, discount] : {std::pair{10, "100.00"}, {4, "33.33"}, {3, "0.00"}}) {
        QStringList shown;
        onNextModal([&](QDialog* d) {
            EXPECT_EQ(d->windowTitle(), "Further Details");
            for (const char* name :
                 {"txtConnectoidName", "txtConnectSpeed", "txtStart", "txtFinish", "txtCostExc",
                  "txtCostInc", "txtDT", "txtLength", "txtMode", "txtDiscount", "txtUser"})
                shown << d->findChild<QLineEdit*>(name)->text();
            press(d, "btnOK");
        });
        selectRows({rowOf(record)});
        Q_EMIT detail()->doubleClicked(model().index(rowOf(record), 0));
        ASSERT_EQ(shown.size(), 11);
        EXPECT_EQ(shown[9], discount) << record;
    }
    selectRows({rowOf(3)});
    QStringList shown;
    onNextModal([&](QDialog* d) {
        for (QLineEdit* field : d->findChildren<QLineEdit*>())
            shown << field->text();
        press(d, "btnOK");
    });
    trigger("mnuDetail");
    EXPECT_EQ(shown, QStringList({"Mobile", "115200", "10/02/2024 10:00:00", "10/02/2024 10:45:30",
                                  "£1.20", "£1.20", "n/a", "00:00:45:30", "Discon", "0.00",
                                  "Unknown/Other"}));

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

    QByteArray old;
    for (int i = 0; i < 10; ++i)
        old += calllog::encodeRecord(handbuilt::records()[0]).left(88);
    QFile f(logsFolderOf(dir.path()) + "/log.bin");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(old);
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
                  logsFolderOf(dir.path()) +
                  "/log.bin\n\r\n\rYou must ensure the file selected is a VORN log file and is "
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
