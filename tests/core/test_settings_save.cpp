#include "core/ini_settings_store.h"
#include "core/password_file.h"
#include "core/working_copy.h"
#include "settings_test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

typCostingInformation band(const QString& name, double charge) {
    return {name, 0, 0, 0, 0, 0, charge, 0};
}

// The saved charge bands as "name charge", in section order.
QStringList savedBands(const SettingsStore& store) {
    QStringList out;
    const int n = store.readInteger("", "Number_Of_Costings", -1);
    for (int i = 1; i <= n; ++i) {
        const QString section = "Costing" + QString::number(i);
        out << store.readString(section, "Connectoid_Name", "?") + ' ' +
                   store.readString(section, "ChargePerMin", "?");
    }
    return out;
}

// Lists with every field set, texts the INI file must quote or escape.
void fillLists(typLists& l) {
    l.Costings[1] = {"Dial Home", 0.3541666666666, 0.75, 60, 3600, 62, 0.0395, 10};
    l.Costings[2] = {"Default", 0.75, 0.3541666666666, 0, 0, 65, 0.01, 0};
    l.CostingFurtherDetails[1] = {"Dial Home", "Minimum Charge", 0, 600, "0.05"};
    l.CostingFurtherDetails[2] = {"Default", "Apply Discount Percent To Minimum Charge", 0, 0,
                                  "Yes"};
    l.Applications[1] = {"Default", "/usr/bin/xterm", "/tmp", "-e \"top, -d 1\"", 1, 1, 1, 30};
    l.Applications[2] = {"Work", "/usr/bin/true", "", "", 3, 2, 0, 0};
    l.Fingers[1] = {"a@b.example.net", "Status; [main]", true};
    l.Pings[1] = {"10.0.0.1", "Router", false};
    l.Pings[2] = {"gw.example.net", "", true};
    l.POP3s[1] = {"pop.example.net", "me", "Zap\npass=", true};
    l.Excludes[1].Text = "http://example.net/a,b";
    l.AutoExcludes[1].Text = "\\links\\";
    l.Passwords[1] = {"Bank", "me", "pw", "note"};
}

} // namespace

TEST(SaveCostings, SpecificBandsFirstGapsClosedAndStaleSectionsDeleted) {
    MemorySettingsStore store;
    store.setValue("Costing6", "Connectoid_Name", "stale");
    store.setValue("Costing75", "Connectoid_Name", "stale");
    CostingTable t;
    t[1] = band("Default", 1);
    t[2] = band("A", 2);
    t[4] = band("Default", 3); // slot 3 is free
    t[6] = band("B", 4);
    t[75] = band("Default", 5);
    const QStringList expected{"A 2", "B 4", "Default 1", "Default 3", "Default 5"};
    SaveCostings(store, t, RegionalSettings::english());
    EXPECT_EQ(savedBands(store), expected);
    EXPECT_FALSE(store.hasSection("Costing6"));
    EXPECT_FALSE(store.hasSection("Costing75"));
    EXPECT_GT(store.syncCount, 0);
    // Memory follows the saved order, so the reload finds what is in the editor, and a
    // plain OK saving again does not reorder overlapping bands.
    EXPECT_EQ(t[2].Connectoid_Name, "B");
    SaveCostings(store, t, RegionalSettings::english());
    EXPECT_EQ(savedBands(store), expected);
}

TEST(SaveCostings, FullTableAndEmptyTable) {
    MemorySettingsStore store;
    CostingTable t;
    for (int i = 1; i <= 75; ++i)
        t[i] = band("C" + QString::number(i), i);
    SaveCostings(store, t, RegionalSettings::english());
    EXPECT_EQ(store.readInteger("", "Number_Of_Costings", -1), 75);
    EXPECT_TRUE(store.hasSection("Costing75"));

    for (int i = 75; i >= 1; --i)
        DeleteCosting(t, 1);
    SaveCostings(store, t, RegionalSettings::english());
    EXPECT_EQ(store.readInteger("", "Number_Of_Costings", -1), 0);
    EXPECT_TRUE(store.sections().isEmpty());
}

TEST(SaveCostingFurtherDetails, SameOrderingAndCounter) {
    MemorySettingsStore store;
    store.setValue("Costing_Further_Details3", "Value", "stale");
    CostingFurtherDetailTable t;
    t[1] = {"Default", "Minimum Charge", 0, 0, "0.1"};
    t[3] = {"Work", "Connection Charge", 0, 0, "0.2"};
    SaveCostingFurtherDetails(store, t);
    EXPECT_EQ(store.readInteger("", "Number_Of_Costing_Further_Details", -1), 2);
    EXPECT_EQ(store.readString("Costing_Further_Details1", "Connectoid_Name", ""), "Work");
    EXPECT_EQ(store.readString("Costing_Further_Details2", "Value", ""), "0.1");
    EXPECT_FALSE(store.hasSection("Costing_Further_Details3"));
}

TEST(SaveToolLists, ValueListsDropTheirSectionWhenEmpty) {
    MemorySettingsStore store;
    AutoExcludeTable t;
    SetDefaultAutoExcludes(t);
    SaveAutoExcludes(store, t);
    EXPECT_EQ(store.readInteger("", "Number_Of_Auto_Excludes", -1), 3);
    EXPECT_EQ(store.readString("AutoExclude", "Entry3", ""), "\\media\\");

    DeleteAutoExclude(t, 3);
    SaveAutoExcludes(store, t);
    EXPECT_EQ(store.readInteger("", "Number_Of_Auto_Excludes", -1), 2);
    EXPECT_FALSE(store.hasValue("AutoExclude", "Entry3"));

    ClearAutoExcludes(t);
    SaveAutoExcludes(store, t);
    EXPECT_EQ(store.readInteger("", "Number_Of_Auto_Excludes", -1), 0);
    EXPECT_FALSE(store.hasSection("AutoExclude"));
}

// An empty folder is not stored: the next load offers the favourites folder again.
TEST(SaveToolOptions, AnEmptyUrlFolderIsNotStored) {
    MemorySettingsStore store;
    typSettings s;
    s.URL_Folder_Location = "/srv/pages";
    SaveToolOptions(store, s);
    s.URL_Folder_Location.clear();
    SaveToolOptions(store, s);
    EXPECT_EQ(store.readString("", "URL_Folder_Location", ""), "/srv/pages");

    MemorySettingsStore fresh;
    SaveToolOptions(fresh, s);
    EXPECT_FALSE(fresh.hasValue("", "URL_Folder_Location"));
}

TEST(SaveToolLists, RemovingEveryFingerBringsTheDefaultsBackAtTheNextLoad) {
    MemorySettingsStore store;
    LoadFixture f;
    typSettings s;
    typLists lists;
    f.load(store, s, lists);
    ClearFingers(lists.Fingers);
    SaveFingers(store, lists.Fingers);
    EXPECT_EQ(store.readInteger("", "Number_Of_Fingers", -1), 0);
    f.load(store, s, lists);
    EXPECT_EQ(FindFreeFinger(lists.Fingers), 4);
}

class RoundTrip : public ::testing::TestWithParam<bool> {};

// Lists, passwords and texts with separators survive the real file, saved under one
// locale and loaded under the other.
TEST_P(RoundTrip, ListsSurviveSaveAndLoadAcrossLocales) {
    const bool italianFirst = GetParam();
    QTemporaryDir dir;
    LoadFixture f;
    f.passwordFile = dir.filePath("Logs/password.bin");
    const RegionalSettings writer =
        italianFirst ? RegionalSettings::italian() : RegionalSettings::english();
    f.regional = italianFirst ? RegionalSettings::english() : RegionalSettings::italian();

    typSettings saved;
    saved.Password = "Zebra Pony"; // 'Z' scrambles to a NUL character
    saved.Proxy_Password = "Pa=ss;Z\\word";
    saved.Mail_Application_Parameters = "-mail, \"inbox\"";
    saved.Auto_At_Disconnect = 45001.75;
    saved.Auto_Disconnect_Exceed_Cost = 1.25;
    saved.URL_Folder_Location = "/home/u/Web pages; old";
    typLists lists;
    fillLists(lists);
    {
        IniSettingsStore store(dir.filePath("VORN.conf"));
        SaveOptions(store, saved, lists, writer);
        SaveToolOptions(store, saved);
        SaveFingers(store, lists.Fingers);
        SavePings(store, lists.Pings);
        SavePOP3s(store, lists.POP3s);
        SaveExcludes(store, lists.Excludes);
        SaveAutoExcludes(store, lists.AutoExcludes);
        ASSERT_TRUE(passwordfile::write(f.passwordFile, lists.Passwords));
        EXPECT_EQ(store.readString("Costing1", "ChargePerMin", ""),
                  italianFirst ? "0,0395" : "0.0395");
    }

    IniSettingsStore store(dir.filePath("VORN.conf"));
    typSettings loaded;
    typLists back;
    f.load(store, loaded, back);
    EXPECT_TRUE(loaded == saved);
    EXPECT_TRUE(back == lists);
    // Passwords are kept scrambled.
    EXPECT_EQ(store.readString("POP31", "Password", ""), ScramblePassword("Zap\npass="));
    EXPECT_EQ(store.readString("", "Password", ""), ScramblePassword(saved.Password));
    EXPECT_EQ(store.readString("", "Proxy_Password", ""), ScramblePassword(saved.Proxy_Password));

    // A window's edits on a working copy, then Cancel and the reload that follows every
    // window: the file keeps every byte.
    store.sync();
    const auto bytes = [&] {
        QFile file(dir.filePath("VORN.conf"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray before = bytes();
    {
        SettingsWorkingCopy copy(loaded, back);
        copy.settings.Password = "changed";
        DeleteCosting(copy.lists.Costings, 1);
        EXPECT_TRUE(copy.liveLists() == lists);
    }
    f.load(store, loaded, back);
    store.sync();
    EXPECT_EQ(bytes(), before);
    SettingsWorkingCopy copy(loaded, back);
    copy.settings.Password = "changed";
    copy.commit();
    EXPECT_EQ(loaded.Password, "changed");
}

INSTANTIATE_TEST_SUITE_P(Locales, RoundTrip, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "CommaToDot" : "DotToComma"; });
