#include "platform/autostart.h"
#include "platform_test.h"

#include <QProcess>
#include <QStandardPaths>

TEST(XdgAutostart, WritesHonoursTheDesktopsSwitchAndRemovesTheEntry) {
    QTemporaryDir dir;
    // The autostart folder does not exist yet, as on a fresh account.
    const QString path = dir.filePath("autostart/vorn.desktop");
    XdgAutostart autostart{path, "/usr/bin/vorn"};
    EXPECT_TRUE(autostart.setEnabled(false)) << "nothing to remove is no failure";
    ASSERT_TRUE(autostart.setEnabled(true));
    EXPECT_TRUE(autostart.isEnabled());
    EXPECT_TRUE(readFile(path).contains("\nExec=/usr/bin/vorn\n"));
    if (const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
        !validator.isEmpty()) {
        QProcess validate;
        validate.start(validator, {path});
        ASSERT_TRUE(validate.waitForFinished(30000));
        EXPECT_EQ(validate.exitCode(), 0);
        EXPECT_EQ(validate.readAllStandardOutput(), QByteArray());
    }
    for (const QByteArray off : {"Hidden=true\n", "X-GNOME-Autostart-enabled=false\n"}) {
        ASSERT_TRUE(writeTreeFile(dir.path(), "autostart/vorn.desktop",
                                  "[Desktop Entry]\nType=Application\nExec=vorn\n" + off +
                                      "[Desktop Action Tools]\nHidden=false\n"));
        EXPECT_FALSE(autostart.isEnabled()) << off.constData();
        ASSERT_TRUE(autostart.setEnabled(true));
        EXPECT_TRUE(autostart.isEnabled()) << off.constData();
    }
    ASSERT_TRUE(autostart.setEnabled(false));
    EXPECT_FALSE(autostart.isEnabled());
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(XdgAutostart::defaultEntryPath(),
              qEnvironmentVariable("XDG_CONFIG_HOME") + "/autostart/vorn.desktop");
}

TEST(XdgAutostart, ReportsWhatCouldNotBeWrittenAndEscapesTheProgram) {
    QTemporaryDir dir;
    ASSERT_TRUE(writeTreeFile(dir.path(), "autostart", {})); // a file where the folder belongs
    XdgAutostart blocked{dir.filePath("autostart/vorn.desktop"), "/usr/bin/vorn"};
    QString error;
    EXPECT_FALSE(blocked.setEnabled(true, &error));
    EXPECT_TRUE(error.contains(dir.filePath("autostart"))) << error.toStdString();
    EXPECT_FALSE(blocked.isEnabled());

    XdgAutostart injected{dir.filePath("x.desktop"), "/opt/vorn\nHidden=true"};
    EXPECT_FALSE(injected.setEnabled(true, &error)) << "a line break would add keys to the entry";
    EXPECT_FALSE(QFile::exists(dir.filePath("x.desktop")));

    const std::pair<const char*, const char*> cases[] = {
        {"/opt/my apps/vorn", "\"/opt/my apps/vorn\""},
        {"/opt/100%/vorn", "/opt/100%%/vorn"},
        {"/opt/a$b\"c`d\\e/vorn", "\"/opt/a\\\\$b\\\\\"c\\\\`d\\\\\\\\e/vorn\""},
        {"/opt/it's/vorn", "\"/opt/it's/vorn\""},
    };
    for (const auto& [program, exec] : cases)
        EXPECT_EQ(XdgAutostart::execValue(QString::fromUtf8(program)), QString::fromUtf8(exec))
            << program;
}
