// The options dialog's three lists: their trees, their buttons and keys, the presets, and
// that only OK saves what they edit.
#include "options_fixture.h"

#include "config/entry_tree_page.h"
#include "core/ini_settings_store.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

namespace {

QTreeWidget* tree(const TfrmConfiguration& window, const char* name) {
    return OptionsFixture::find<QTreeWidget>(window, name);
}

// Each root's caption followed by its children's, one string per root.
QStringList treeText(const QTreeWidget* t) {
    QStringList roots;
    for (int i = 0; i < t->topLevelItemCount(); ++i) {
        QStringList text{t->topLevelItem(i)->text(0)};
        for (int c = 0; c < t->topLevelItem(i)->childCount(); ++c)
            text << t->topLevelItem(i)->child(c)->text(0);
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
    const QString detail1 = "Costing_Further_Details1", detail2 = "Costing_Further_Details2";
    f.set("Number_Of_Costing_Further_Details", "2").set("Option", "Minimum Charge", detail1);
    f.set("Value", "0,05", detail1).set("Length_Finish", "60", detail1);
    f.set("Connectoid_Name", "Work", detail2).set("Value", "Yes", detail2);
    f.set("Option", "Apply Discount Percent To Minimum Charge", detail2);
    f.set("Number_Of_Applications", "1").set("Filename", "/usr/bin/mailer", "Application1");
    f.set("Execute", "2", "Application1").set("Window_State", "3", "Application1");
    f.set("Close", "1", "Application1");
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
        f.dialUp.entryNames = answered ? std::optional(QStringList{"Demo"}) : std::nullopt;
        storeBand(f, 1, "Gone", "0.04");
        storeBand(f, 2, "Demo", "0.02");
        f.set("Number_Of_Applications", "1");
        f.set("Filename", "/bin/true", "Application1").set("Connectoid_Name", "", "Application1");
        auto window = f.open();
        QStringList roots;
        for (const QString& root : treeText(tree(*window, "trvCostings")))
            roots << root.section(" | ", 0, 0) + (root.contains(" | ") ? "+" : "");
        // Nothing known: every stored name stands, under a root of its own.
        EXPECT_EQ(roots, answered ? QStringList({"Default", "Demo+", "Unknown/Other+"})
                                  : QStringList({"Default", "Unknown/Other", "Demo+", "Gone+"}));
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
    f.set("Number_Of_Costing_Further_Details", "50").set("Number_Of_Applications", "60");
    for (int n = 1; n <= 60; ++n) {
        f.set("Value", "1", "Costing_Further_Details" + QString::number(n));
        f.set("Filename", "/bin/true", "Application" + QString::number(n));
    }
    auto window = f.open();
    int editors = 0;
    window->runEditor = [&](QDialog&) { return ++editors, false; };
    const QString again = "\n\r\n\rTo add another %1 entry you will need to remove an existing "
                          "entry first.";
    const QString select = "You must select %1 from the list above before ";
    const struct {
        const char *suffix, *tree, *full, *entry;
        int entries;
    } lists[] = {{"Costings", "trvCostings", "costing section has a maximum capacity of75",
                  "a Time Band Entry", 75},
                 {"CostingFurtherDetails", "trvCostingFurtherDetails",
                  "costing further details section has a maximum capacity of50",
                  "a Further Detail Entry", 50},
                 {"Applications", "trvApplications",
                  "application section has a maximum capacity of60", "an Application Entry", 60}};
    for (const auto& l : lists) {
        f.prompts.shown.clear();
        for (const char* action : {"btnInsert", "btnProperties", "btnRemove"})
            f.find<QPushButton>(*window, (QString(action) + l.suffix).toLatin1())->click();
        const QString kind = l.entries == 60 ? "application" : "costing";
        EXPECT_EQ(f.prompts.texts(),
                  (QStringList{"The " + QString(l.full) + " entries." + again.arg(kind),
                               select.arg(l.entry) + "the properties can be displayed.",
                               select.arg(l.entry) + "it can be removed."}));
        for (const auto& shown : f.prompts.shown)
            EXPECT_EQ(shown.kind, Prompts::Kind::Warning);

        // A connectoid's root selected: nothing happens, and nothing is said.
        f.prompts.shown.clear();
        QTreeWidget* t = tree(*window, l.tree);
        t->setCurrentItem(t->topLevelItem(0));
        for (const char* action : {"btnProperties", "btnRemove"})
            f.find<QPushButton>(*window, (QString(action) + l.suffix).toLatin1())->click();
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
        if (accept)
            editor.findChild<QPushButton*>("btnOK")->click();
        return accept && editor.result() == QDialog::Accepted;
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
                menu << submenu->text() + ": " + item->text();
        const QString uk = "United Kingdom - BT (local): ",
                      italy = "Italy - Telecom Italia (local): ";
        EXPECT_EQ(menu, (QStringList{uk + "Standard", uk + "Friends and Family",
                                     uk + "Friends and Family with Best Friend",
                                     uk + "Friends and Family and Premierline",
                                     uk + "Friends and Family with Best Friend and Premierline",
                                     italy + "Standard", italy + "Discounted"}));
        auto* friendsAndFamily = window.findChild<QAction*>("mnuFF");
        ASSERT_TRUE(friendsAndFamily);
        friendsAndFamily->trigger(); // No
        EXPECT_EQ(tree(window, "trvCostings")->topLevelItem(0)->childCount(), 4);
        f.prompts.answerNext(Prompts::Answer::Yes);
        friendsAndFamily->trigger();
        ASSERT_EQ(f.prompts.shown.size(), 2);
        EXPECT_EQ(f.prompts.shown[0].text, "This operation will remove all your existing time "
                                           "bands and further details.\n\r\n\rAre you sure?");
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
