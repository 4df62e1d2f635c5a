// The application editor: the program chosen through the file dialog, the rule of the
// delay, and what OK stores.

#include "scripted_dialogs.h"
#include "scripted_prompts.h"

#include "config/tfrm_insert_application.h"
#include "core/connectoid_names.h"
#include "core/regional.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Editor {
    Editor(typApplicationInformation record, bool inserting) : working(std::move(record)) {
        table.fill({"Work", "Demo"});
        dialog = std::make_unique<TfrmInsertApplication>(
            working, inserting ? "Insert Application" : "Properties", inserting, table, regional,
            dialogs, prompts);
    }
    template <typename T> T* get(const char* name) {
        T* control = dialog->findChild<T*>(name);
        EXPECT_TRUE(control) << name;
        return control;
    }
    bool okEnabled() { return get<QPushButton>("btnOK")->isEnabled(); }

    typApplicationInformation working;
    ConnectoidNameTable table;
    RegionalSettings regional = RegionalSettings::english();
    ScriptedDialogs dialogs;
    ScriptedPrompts prompts;
    std::unique_ptr<TfrmInsertApplication> dialog;
};

} // namespace

TEST(InsertApplication, ANewEntryNeedsItsProgramChosenFirst) {
    QTemporaryDir dir;
    const QString program = dir.filePath("mailer");
    const QString document = dir.filePath("notes.txt");
    for (const QString& path : {program, document}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);

    Editor e({"Work", {}, {}, {}, 0, 0, 0, 0}, true);
    EXPECT_FALSE(e.okEnabled());
    EXPECT_EQ(e.get<QComboBox>("cboConnectoidName")->currentText(), "Work");
    EXPECT_TRUE(e.get<QLineEdit>("txtLocation")->isReadOnly());
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
    EXPECT_EQ(e.get<QLineEdit>("txtLocation")->text(), program);
    EXPECT_EQ(e.get<QLineEdit>("txtWorkingDirectory")->text(), dir.path());

    e.get<QLineEdit>("txtParameters")->setText("--check now");
    e.get<QComboBox>("cboWindowState")->setCurrentText("Maximized");
    e.get<QComboBox>("cboExecute")->setCurrentText("When Connected");
    e.get<QLineEdit>("txtDelay")->setText("");
    e.get<QComboBox>("cboClose")->setCurrentText("At Disconnection");
    e.get<QPushButton>("btnOK")->click();
    const typApplicationInformation expected{"Work", program, dir.path(), "--check now",
                                             2,      1,       1,          0};
    EXPECT_EQ(e.working, expected);
}

TEST(InsertApplication, OnlyAProgramStartedWithTheCallWaitsForItsDelay) {
    Editor e({"Demo", "/usr/bin/tool", "/usr/bin", "-x", 1, 1, 0, 45}, false);
    EXPECT_TRUE(e.okEnabled());
    EXPECT_EQ(e.get<QComboBox>("cboConnectoidName")->currentText(), "Demo");
    EXPECT_EQ(e.get<QComboBox>("cboWindowState")->currentText(), "Minimized");
    auto* delay = e.get<QLineEdit>("txtDelay");
    EXPECT_EQ(delay->text(), "45");
    EXPECT_TRUE(delay->isEnabled());
    e.get<QComboBox>("cboExecute")->setCurrentText("When Disconnected");
    EXPECT_EQ(delay->text(), "0");
    EXPECT_FALSE(delay->isEnabled());
    e.get<QPushButton>("btnCancel")->click();
    EXPECT_EQ(e.working.Delay, 45);
    e.get<QPushButton>("btnOK")->click();
    EXPECT_EQ(e.working.Execute, 2);
    EXPECT_EQ(e.working.Delay, 0);
}
