// The pieces the program windows share: edit rules, sections and pages, the status link,
// the saved size and the help key.

#include "fake_shell.h"
#include "recording_help.h"
#include "scripted_prompts.h"

#include "core/regional.h"
#include "widgets/edit_rules.h"
#include "widgets/window_frame.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

TEST(EditRules, PastingObeysTheCharactersAndOkAppliesWhatLeavingWould) {
    QWidget window;
    auto* speed = new QLineEdit(&window);
    auto* cost = new QLineEdit(&window);
    auto* port = new QLineEdit(&window);
    const RegionalSettings english = RegionalSettings::english();
    editrules::digitsOnly(speed, 8);
    editrules::zeroWhenInvalid(speed, english);
    editrules::decimalNumber(cost, 10);
    editrules::zeroWhenInvalid(cost, english);
    editrules::digitsOnly(port, 5);
    editrules::clampWhole(port, 1, 65535, QStringLiteral("110"));
    const struct {
        QLineEdit* edit;
        QString pasted, kept;
    } pastes[] = {
        {speed, "28800", "28800"}, {speed, "28k8", ""},     {speed, "123456789", "12345678"},
        {cost, "12,5", "12,5"},    {cost, "-3", ""},        {cost, "1.2.3", ""},
        {cost, "0.75", "0.75"},    {port, "99999", "99999"}};
    for (const auto& p : pastes) {
        QApplication::clipboard()->setText(p.pasted);
        p.edit->clear();
        p.edit->paste();
        EXPECT_EQ(p.edit->text(), p.kept) << p.pasted.toStdString();
    }

    // Return at OK leaves the texts where they are: OK applies the rules itself.
    for (const auto& [edit, typed, applied] : {std::tuple{speed, "", "0"},
                                               {cost, ",", "0"},
                                               {port, "99999", "65535"},
                                               {port, "0", "1"},
                                               {port, "", "110"}}) {
        edit->setText(QString::fromLatin1(typed));
        editrules::applyEditRules(&window);
        EXPECT_EQ(edit->text(), applied) << typed;
    }
    // Leaving the box runs them too.
    speed->setText(QString());
    QFocusEvent leave(QEvent::FocusOut);
    QApplication::sendEvent(speed, &leave);
    EXPECT_EQ(speed->text(), "0");
}

TEST(WindowFrame, SectionsShowOnlyTheirPagesAndStoredSizesThatCannotBeRightFallBack) {
    QWidget window;
    auto* sections = new QListWidget(&window);
    auto* pages = new QTabWidget(&window);
    QWidget* page[4];
    for (int i = 0; i < 4; ++i)
        pages->addTab(page[i] = new QWidget, QString::number(i));
    SectionPages frame(sections, pages);
    frame.addSection("Display", {page[0], page[1]});
    frame.addSection("Costs", {page[2], page[3]});
    for (int section : {1, 0, 1}) {
        frame.selectSection(section);
        EXPECT_EQ(pages->currentWidget(), page[2 * section]);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(pages->isTabVisible(i), i / 2 == section) << section << i;
    }
    pages->setCurrentWidget(page[3]);
    sections->setCurrentRow(0);
    EXPECT_EQ(pages->currentWidget(), page[0]);
    EXPECT_FALSE(sections->item(0)->flags() & Qt::ItemIsEditable);

    const QSize fallback(590, 450), screen(1280, 800);
    const struct {
        QSize stored, expected;
    } cases[] = {{{800, 600}, {800, 600}},  {{0, 600}, {590, 600}},      {{-5, -1}, {590, 450}},
                 {{1281, 801}, {590, 450}}, {{100000, 700}, {590, 700}}, {{300, 200}, {590, 450}}};
    for (const auto& c : cases)
        EXPECT_EQ(initialWindowSize(c.stored, fallback, fallback, screen), c.expected)
            << c.stored.width();
}

TEST(WindowFrame, StatusLinkOpensTheMakersPageAndF1TheFocusedTopic) {
    FakeShell shell;
    ScriptedPrompts prompts;
    RecordingHelp help;
    QWidget window;
    auto* plain = new QLineEdit(&window);
    auto* special = new QLineEdit(&window);
    special->setProperty("helpTopic", QStringLiteral("options#sound"));
    auto* status = new QStatusBar(&window);
    status->move(0, 100);
    installStatusLink(status, shell, prompts);
    installHelpKey(&window, help, QStringLiteral("options"));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    auto* link = status->findChild<QLabel*>("statusLink");
    ASSERT_TRUE(link);
    EXPECT_EQ(link->text(),
              "Click here to visit Ostrand Labs for updates and try other quality freeware");
    QTest::mouseClick(link, Qt::LeftButton);
    ASSERT_EQ(shell.opened.size(), 1);
    EXPECT_EQ(shell.opened[0].first, MakerWebPage);
    for (QLineEdit* focused : {plain, special}) {
        focused->setFocus();
        QTest::keyClick(focused, Qt::Key_F1);
    }
    EXPECT_EQ(help.topics, (QStringList{"options", "options#sound"}));
}
