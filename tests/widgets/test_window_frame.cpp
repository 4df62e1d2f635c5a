// The pieces the program windows share: edit rules, sections and pages, the status link,
// the saved size, the help key, and the dialog seams driving a small window.

#include "fake_shell.h"
#include "recording_help.h"
#include "scripted_dialogs.h"
#include "scripted_prompts.h"

#include "core/regional.h"
#include "widgets/edit_rules.h"
#include "widgets/window_frame.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {
const RegionalSettings En = RegionalSettings::english();

void paste(QLineEdit& edit, const QString& text) {
    QApplication::clipboard()->setText(text);
    edit.clear();
    edit.paste();
}
} // namespace

TEST(EditRules, PastingObeysTheCharactersAndOkAppliesWhatLeavingWould) {
    QWidget window;
    auto* speed = new QLineEdit(&window);
    auto* cost = new QLineEdit(&window);
    auto* port = new QLineEdit(&window);
    editrules::digitsOnly(speed, 8);
    editrules::zeroWhenInvalid(speed, En);
    editrules::decimalNumber(cost, 10);
    editrules::zeroWhenInvalid(cost, En);
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
        paste(*p.edit, p.pasted);
        EXPECT_EQ(p.edit->text(), p.kept) << p.pasted.toStdString();
    }

    // Return at OK leaves the texts where they are: OK applies the rules itself.
    speed->setText(QString());
    cost->setText(QStringLiteral(","));
    editrules::applyEditRules(&window);
    EXPECT_EQ(speed->text(), "0");
    EXPECT_EQ(cost->text(), "0");
    EXPECT_EQ(port->text(), "65535");
    port->setText(QStringLiteral("0"));
    editrules::applyEditRules(&window);
    EXPECT_EQ(port->text(), "1");
    port->setText(QString());
    editrules::applyEditRules(&window);
    EXPECT_EQ(port->text(), "110");

    // Leaving the box runs them too.
    speed->setText(QString());
    QFocusEvent leave(QEvent::FocusOut);
    QApplication::sendEvent(speed, &leave);
    EXPECT_EQ(speed->text(), "0");
}

TEST(WindowFrame, SectionsShowOnlyTheirPagesAndStartAtTheFirst) {
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
}

TEST(WindowFrame, StoredSizesThatCannotBeRightFallBack) {
    const QSize fallback(590, 450), minimum(590, 450), screen(1280, 800);
    const struct {
        QSize stored, expected;
    } cases[] = {{{800, 600}, {800, 600}},  {{0, 600}, {590, 600}},      {{-5, -1}, {590, 450}},
                 {{1281, 801}, {590, 450}}, {{100000, 700}, {590, 700}}, {{300, 200}, {590, 450}}};
    for (const auto& c : cases)
        EXPECT_EQ(initialWindowSize(c.stored, fallback, minimum, screen), c.expected)
            << c.stored.width();
}

TEST(WindowFrame, StatusLinkOpensTheMakersPageAndF1TheFocusedTopic) {
    FakeShell shell;
    ScriptedPrompts prompts;
    RecordingHelp help;
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* plain = new QLineEdit(&window);
    auto* special = new QLineEdit(&window);
    special->setProperty("helpTopic", QStringLiteral("options#sound"));
    auto* status = new QStatusBar(&window);
    layout->addWidget(plain);
    layout->addWidget(special);
    layout->addWidget(status);
    installStatusLink(status, shell, prompts);
    installHelpKey(&window, help, QStringLiteral("options"));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    auto* link = status->findChild<QLabel*>("statusLink");
    ASSERT_TRUE(link);
    EXPECT_EQ(link->text(),
              "Click here to visit Ostrand Labs for updates and try other quality freeware");
    EXPECT_TRUE(link->font().underline());
    QTest::mouseClick(link, Qt::LeftButton);
    ASSERT_EQ(shell.opened.size(), 1);
    EXPECT_EQ(shell.opened[0].first, MakerWebPage);

    for (QLineEdit* focused : {plain, special}) {
        focused->setFocus();
        QTest::keyClick(focused, Qt::Key_F1);
    }
    EXPECT_EQ(help.topics, (QStringList{"options", "options#sound"}));
}

// A window that exports through the file dialog and keeps its files in a chosen folder,
// refusing one it cannot write: what the program's windows do with the seams.
TEST(DialogSeams, ScriptedAnswersDriveAWindowThatSavesAndChoosesAFolder) {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    ScriptedPrompts prompts;
    const auto exportOnce = [&] {
        const auto path = dialogs.saveFile(
            {"Export", "Text Files (*.txt)", "txt", Dialogs::desktopFolder(), "vorn export usage"});
        if (!path)
            return false;
        QFile file(*path);
        return file.open(QIODevice::WriteOnly) && file.write("\"Usage\"\r\n") > 0;
    };
    const auto chooseFolder = [&]() -> QString {
        const auto folder = dialogs.chooseFolder("Favourites", QDir::homePath());
        if (folder && !QFileInfo(*folder).isWritable()) {
            prompts.error(QStringLiteral("The folder %1 cannot be used.").arg(*folder));
            return {};
        }
        return folder.value_or(QString());
    };

    dialogs.cancelNext();
    EXPECT_FALSE(exportOnce());
    dialogs.answerNext(dir.filePath("usage.txt"));
    EXPECT_TRUE(exportOnce());
    EXPECT_TRUE(QFileInfo(dir.filePath("usage.txt")).isFile());
    ASSERT_EQ(dialogs.asked.size(), 2);
    EXPECT_EQ(dialogs.asked[1].file.filter, "Text Files (*.txt)");
    EXPECT_EQ(dialogs.asked[1].file.fileName, "vorn export usage");
    EXPECT_TRUE(QFileInfo(dialogs.asked[1].file.folder).isDir());

    dialogs.answerNext(QStringLiteral("/proc/1"));
    EXPECT_EQ(chooseFolder(), QString());
    EXPECT_EQ(prompts.texts(), QStringList{"The folder /proc/1 cannot be used."});
    dialogs.answerNext(dir.path());
    EXPECT_EQ(chooseFolder(), dir.path());
    dialogs.answerNext(QColor(Qt::red));
    EXPECT_EQ(dialogs.chooseColour(Qt::black), QColor(Qt::red));
    EXPECT_EQ(dialogs.chooseColour(Qt::black), std::nullopt);
}
