// The options dialog opened from the main window while a call runs: the call is priced with
// the saved tariff whatever the dialog holds, and a call-length limit whose rule has fired
// is neither lost nor brought back by the dialog.

#include "monitor_harness.h"

#include "fake_shell.h"
#include "recording_help.h"
#include "recording_printer.h"
#include "scripted_dialogs.h"

#include "config/tfrm_configuration.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

struct CallFixture : MonitorHarness {
    CallFixture() {
        chargeEveryMinute("1.2");
        set("Auto_Disconnect", "1");
        start();
        dialUp.dial("Demo");
        check();
    }

    // Runs the options dialog from the tray menu; `inside` works it and closes it.
    void options(const std::function<void(TfrmConfiguration&)>& inside) {
        windows.whileOpen = [this, inside](ProgramWindow) {
            WindowServices s{store, prompts, dialogs,  printer,     help,
                             shell, clock,   regional, debugLog,    settings,
                             lists, names,   dialUp,   home.path(), {true, true}};
            s.callInProgress = [this] { return window->state().connected; };
            s.keptCallLengthLimit = [this] { return window->keptCallLengthLimit(); };
            TfrmConfiguration dialog(s);
            inside(dialog);
        };
        window->mnuOptionsClick();
    }

    QLineEdit* limitEdit(TfrmConfiguration& dialog) {
        return dialog.findChild<QLineEdit*>("txtAutoDisconnect");
    }

    // The call passes its one-minute limit: the rule fires and holds 0 until the call ends.
    void passTheLimit() {
        clock.advance(61000);
        check();
        ASSERT_EQ(settings.Auto_Disconnect, 0);
        ASSERT_EQ(stored("Auto_Disconnect"), "0");
    }

    void hangUp() {
        dialUp.active->clear();
        check();
    }

    ScriptedDialogs dialogs;
    RecordingPrinter printer;
    RecordingHelp help;
    FakeShell shell;
};

} // namespace

TEST(OptionsBesideACall, ACallEndingWhileTheDialogIsOpenIsPricedWithTheSavedTariff) {
    for (bool ok : {false, true}) {
        CallFixture f;
        f.options([&](TfrmConfiguration& dialog) {
            dialog.workingCopy().lists.Costings[1].ChargePerMin = 99;
            f.clock.advance(60000);
            f.hangUp();
            ok ? dialog.btnOKClick() : dialog.btnCancelClick();
        });
        ASSERT_EQ(f.log().size(), 1);
        EXPECT_NEAR(f.log().first().Cost_Exc, 1.2, 0.05) << ok;
        EXPECT_EQ(f.lists.Costings[1].ChargePerMin, ok ? 99 : 1.2);
    }
}

TEST(OptionsBesideACall, AFiredLengthRuleKeepsTheUsersLimitThroughTheDialog) {
    const struct {
        const char* typed; // null: Cancel; empty: OK with the limit untouched; "!": the rule
                           // fires while the dialog is open, then OK
        const char* during;
        const char* after;
    } cases[] = {
        {nullptr, "0", "1"}, {"", "0", "1"}, {"30", "30", "30"}, {"0", "0", "0"}, {"!", "0", "1"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed ? c.typed : "cancel");
        const bool firesInside = c.typed && *c.typed == '!';
        CallFixture f;
        if (!firesInside)
            f.passTheLimit();
        f.options([&](TfrmConfiguration& dialog) {
            EXPECT_EQ(f.limitEdit(dialog)->text(), "1");
            if (firesInside)
                f.passTheLimit();
            if (!c.typed)
                return dialog.btnCancelClick();
            if (*c.typed && !firesInside)
                f.limitEdit(dialog)->setText(c.typed);
            dialog.btnOKClick();
        });
        EXPECT_EQ(f.stored("Auto_Disconnect"), c.during);
        f.hangUp();
        EXPECT_EQ(f.stored("Auto_Disconnect"), c.after);
        EXPECT_EQ(f.settings.Auto_Disconnect, QString(c.after).toInt());
    }
}

TEST(OptionsBesideACall, TheRestOfTheCallIsPricedWithTheBandsSavedByOk) {
    CallFixture f;
    f.options([&](TfrmConfiguration& dialog) {
        dialog.runEditor = [](QDialog& editor) {
            editor.findChild<QLineEdit*>("txtEveryMinuteAdd")->setText("6");
            editor.findChild<QPushButton*>("btnOK")->click();
            return true;
        };
        auto* bands = dialog.findChild<QTreeWidget*>("trvCostings");
        bands->setCurrentItem(bands->topLevelItem(0)->child(0));
        dialog.findChild<QPushButton*>("btnPropertiesCostings")->click();
        dialog.btnOKClick();
    });
    EXPECT_EQ(f.store.value("Costing1", "ChargePerMin"), "6");
    f.clock.advance(60000);
    f.hangUp();
    ASSERT_EQ(f.log().size(), 1);
    EXPECT_NEAR(f.log().first().Cost_Exc, 6, 0.2);
}
