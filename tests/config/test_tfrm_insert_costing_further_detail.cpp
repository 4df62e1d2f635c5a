// The further detail editor: the options, the rule between the number and the yes/no box,
// and what OK stores.

#include "config/tfrm_insert_costing_further_detail.h"
#include "core/connectoid_names.h"
#include "core/regional.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

struct Editor {
    explicit Editor(typCostingFurtherDetailInformation record = {}) : working(std::move(record)) {
        table.fill({"Work", "Demo"});
        dialog = std::make_unique<TfrmInsertCostingFurtherDetail>(working, "Properties", table,
                                                                  regional);
    }
    template <typename T> T* get(const char* name) {
        T* control = dialog->findChild<T*>(name);
        EXPECT_TRUE(control) << name;
        return control;
    }
    void ok() { get<QPushButton>("btnOK")->click(); }

    typCostingFurtherDetailInformation working;
    ConnectoidNameTable table;
    RegionalSettings regional = RegionalSettings::english();
    std::unique_ptr<TfrmInsertCostingFurtherDetail> dialog;
};

QStringList items(const QComboBox* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i);
    return texts;
}

} // namespace

TEST(InsertFurtherDetail, ListsComeInTheirOrderAndANewDetailStartsAtZero) {
    Editor e;
    EXPECT_EQ(items(e.get<QComboBox>("cboConnectoidName")),
              (QStringList{"Default", "Demo", "Work"}));
    EXPECT_EQ(items(e.get<QComboBox>("cboOption")),
              (QStringList{"Minimum Charge", "Connection Charge", "Maximum Charge", "Discount (%)",
                           "Apply Discount Percent To Minimum Charge",
                           "Apply Discount Percent To Maximum Charge",
                           "Apply Discount Percent To Connection Charge",
                           "Handshaking Adjustment (seconds)"}));
    EXPECT_EQ(e.get<QComboBox>("cboOption")->currentIndex(), 0);
    EXPECT_EQ(e.get<QLineEdit>("txtNumber")->text(), "0");
    EXPECT_TRUE(e.get<QPushButton>("btnOK")->isEnabled());
    e.ok();
    EXPECT_EQ(e.working.Value, "0");
    EXPECT_EQ(e.working.Option, "Minimum Charge");
    EXPECT_EQ(e.working.Connectoid_Name, "Default");
}

TEST(InsertFurtherDetail, TheApplyOptionsAreYesOrNoAndTheOthersANumber) {
    Editor e;
    auto* option = e.get<QComboBox>("cboOption");
    auto* number = e.get<QLineEdit>("txtNumber");
    auto* yesNo = e.get<QCheckBox>("chkYesNo");
    for (int i = 0; i < option->count(); ++i) {
        option->setCurrentIndex(i);
        const bool apply = i >= 4 && i <= 6;
        EXPECT_EQ(number->isEnabled(), !apply) << i;
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
    number->clear();
    e.ok();
    EXPECT_EQ(e.working.Value, "0");
    number->setText("12,5");
    e.get<QLineEdit>("txtLengthFinish")->setText("40000");
    e.ok();
    EXPECT_EQ(e.working.Value, "12,5");
    EXPECT_EQ(e.working.Length_Finish, 32000);
}

TEST(InsertFurtherDetail, PropertiesShowYesNoOrTheNumber) {
    const struct {
        const char* option;
        const char* value;
        bool checked;
        const char* number;
    } cases[] = {{"Apply Discount Percent To Minimum Charge", "Yes", true, "0"},
                 {"Apply Discount Percent To Connection Charge", "No", false, "0"},
                 {"Maximum Charge", "2.5", false, "2.5"}};
    for (const auto& c : cases) {
        Editor e({"Work", c.option, 30, 90, c.value});
        EXPECT_EQ(e.get<QComboBox>("cboOption")->currentText(), c.option);
        EXPECT_EQ(e.get<QComboBox>("cboConnectoidName")->currentText(), "Work");
        EXPECT_EQ(e.get<QCheckBox>("chkYesNo")->isChecked(), c.checked) << c.value;
        EXPECT_EQ(e.get<QLineEdit>("txtNumber")->text(), c.number);
        EXPECT_EQ(e.get<QLineEdit>("txtLengthStart")->text(), "30");
        e.get<QPushButton>("btnCancel")->click();
        EXPECT_EQ(e.working.Value, c.value);
        e.ok();
        EXPECT_EQ(e.working.Value, c.value);
    }
}
