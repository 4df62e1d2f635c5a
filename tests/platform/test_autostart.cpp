#include "platform/autostart.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {
class XdgAutostartTest : public ::testing::Test {
protected:
    QString read() const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    void write(const QByteArray& text) const {
        QDir().mkpath(dir.filePath(QStringLiteral("autostart")));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QTemporaryDir dir;
    // The autostart folder does not exist yet, as on a fresh account.
    QString path = dir.filePath(QStringLiteral("autostart/vorn.desktop"));
    XdgAutostart autostart{path, QStringLiteral("/usr/bin/vorn")};
};
} // namespace

TEST_F(XdgAutostartTest, WritesAndRemovesTheEntry) {
    EXPECT_FALSE(autostart.isEnabled());
    EXPECT_TRUE(autostart.setEnabled(false)) << "nothing to remove is no failure";

    ASSERT_TRUE(autostart.setEnabled(true));
    EXPECT_TRUE(autostart.isEnabled());
    const QString entry = read();
    EXPECT_TRUE(entry.startsWith(QStringLiteral("[Desktop Entry]\n")));
    EXPECT_TRUE(entry.contains(QStringLiteral("\nExec=/usr/bin/vorn\n")));
    const QString validator =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (!validator.isEmpty()) {
        QProcess validate;
        validate.start(validator, {path});
        ASSERT_TRUE(validate.waitForFinished(30000));
        EXPECT_EQ(validate.exitCode(), 0) << validate.readAllStandardOutput().toStdString();
        EXPECT_EQ(validate.readAllStandardOutput(), QByteArray());
    }

    ASSERT_TRUE(autostart.setEnabled(false));
    EXPECT_FALSE(autostart.isEnabled());
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(XdgAutostartTest, AnEntrySwitchedOffByTheDesktopIsOffUntilEnabledAgain) {
    for (const QByteArray& off :
         {QByteArray("Hidden=true\n"), QByteArray("X-GNOME-Autostart-enabled=false\n")}) {
        write("[Desktop Entry]\nType=Application\nExec=vorn\n" + off +
              "[Desktop Action Tools]\nHidden=false\n");
        EXPECT_FALSE(autostart.isEnabled()) << off.constData();
        ASSERT_TRUE(autostart.setEnabled(true));
        EXPECT_TRUE(autostart.isEnabled()) << off.constData();
    }
}

TEST_F(XdgAutostartTest, ReportsWhatCouldNotBeWritten) {
    // A file where the autostart folder belongs.
    QFile blocker(dir.filePath(QStringLiteral("autostart")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QString error;
    EXPECT_FALSE(autostart.setEnabled(true, &error));
    EXPECT_TRUE(error.contains(dir.filePath(QStringLiteral("autostart")))) << error.toStdString();
    EXPECT_FALSE(autostart.isEnabled());

    XdgAutostart injected{dir.filePath(QStringLiteral("x.desktop")),
                          QStringLiteral("/opt/vorn\nHidden=true")};
    EXPECT_FALSE(injected.setEnabled(true, &error)) << "a line break would add keys to the entry";
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x.desktop"))));
}

TEST(XdgAutostartExec, QuotesAndEscapesThePathAsDesktopEntriesWant) {
    const struct {
        const char* program;
        const char* exec;
    } cases[] = {
        {"/usr/bin/vorn", "/usr/bin/vorn"},
        {"/opt/my apps/vorn", "\"/opt/my apps/vorn\""},
        {"/opt/100%/vorn", "/opt/100%%/vorn"},
        {"/opt/a$b\"c`d\\e/vorn", "\"/opt/a\\\\$b\\\\\"c\\\\`d\\\\\\\\e/vorn\""},
        {"/opt/it's/vorn", "\"/opt/it's/vorn\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(XdgAutostart::execValue(QString::fromUtf8(c.program)), QString::fromUtf8(c.exec))
            << c.program;
}

TEST(XdgAutostartPath, FollowsXdgConfigHome) {
    EXPECT_EQ(XdgAutostart::defaultEntryPath(),
              qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/autostart/vorn.desktop"));
}
