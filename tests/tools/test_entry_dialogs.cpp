// The entry dialogs' own rules: one "Default" entry per list, and the characters the
// password file refuses.

#include "scripted_prompts.h"
#include "tools_test_support.h"

#include "core/code_page.h"
#include "tools/tfrm_insert_password_keeper.h"
#include "tools/tfrm_insert_tool_default.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <gtest/gtest.h>

namespace {
template <typename T> T* field(QDialog& d, const char* name) {
    T* w = d.findChild<T*>(QString::fromLatin1(name));
    EXPECT_TRUE(w) << name;
    return w;
}
} // namespace

TEST(InsertToolDefault, ADefaultEntryTakesTheFlagFromEveryOther) {
    ToolHostTable t;
    t[1] = {"a", "", true};
    t[2] = {"b", "", false};
    storeToolEntry(t, 3, {"c", "", false});
    EXPECT_TRUE(t[1].DefaultItem);
    storeToolEntry(t, 3, {"c", "", true});
    EXPECT_EQ(QList<bool>({t[1].DefaultItem, t[2].DefaultItem, t[3].DefaultItem}),
              QList<bool>({false, false, true}));
    storeToolEntry(t, 1, {"a2", "", false}); // editing without the flag leaves the others
    EXPECT_TRUE(t[3].DefaultItem);
    EXPECT_EQ(t[1].Host, "a2");
}

TEST(InsertPasswordKeeper, CharactersThePasswordFileCannotHoldAreRefusedWithTheirName) {
    ScriptedPrompts prompts;
    const typPasswordInformation entry{"Bank", "me", "pw", "note"};
    TfrmInsertPasswordKeeper d(&entry, prompts);
    EXPECT_EQ(d.windowTitle(), "Properties");
    auto* password = field<QLineEdit>(d, "txtPassword");
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    password->setFocus();
    password->end(false);
    typeText(password, QString::fromUtf8("€ł"));
    EXPECT_EQ(password->text(), QString::fromUtf8("pw€"));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, Prompts::Kind::Warning);
    EXPECT_TRUE(prompts.shown[0].text.contains(QString::fromUtf8("\"ł\" (U+0142)")))
        << prompts.shown[0].text.toStdString();

    // Pasting is typing too; the text around the refused paste stays as it was.
    auto* comments = field<QLineEdit>(d, "txtComments");
    comments->setCursorPosition(2);
    QApplication::clipboard()->setText(QString::fromUtf8("x\u4e2dy"));
    comments->paste();
    EXPECT_EQ(comments->text(), "note");
    EXPECT_EQ(comments->cursorPosition(), 2);
    EXPECT_EQ(prompts.shown.size(), 2);

    // The boxes hold what the file's fields hold.
    const struct {
        const char* name;
        int length;
    } sizes[] = {{"txtCompany", 40}, {"txtUserName", 40}, {"txtPassword", 40}, {"txtComments", 50}};
    for (const auto& s : sizes)
        EXPECT_EQ(field<QLineEdit>(d, s.name)->maxLength(), s.length) << s.name;
    EXPECT_EQ(d.record(), (typPasswordInformation{"Bank", "me", QString::fromUtf8("pw€"), "note"}));
    EXPECT_EQ(codepage::firstUnencodable(d.record().Password), 0u);
}
