#include "core/version.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSize>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {
struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

Outcome run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    Outcome result;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QStringList programs() {
    QStringList names{QStringLiteral("vorn"), QStringLiteral("vorn-sim")};
    if (VORN_HAS_VORN_LOG)
        names << QStringLiteral("vorn-log");
    return names;
}

std::string sortedLines(const QSet<QString>& set) {
    QStringList list(set.begin(), set.end());
    list.sort();
    return list.join(u'\n').toStdString();
}

// Width and height from a PNG's header chunk.
QSize pngSize(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(24);
    if (head.size() < 24 || !head.startsWith("\x89PNG\r\n\x1a\n") || head.mid(12, 4) != "IHDR")
        return {};
    const auto number = [&](int at) {
        return int(quint8(head[at]) << 24 | quint8(head[at + 1]) << 16 | quint8(head[at + 2]) << 8 |
                   quint8(head[at + 3]));
    };
    return {number(16), number(20)};
}

class InstallTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        prefix_ = new QTemporaryDir;
        const Outcome install =
            run(QStringLiteral(VORN_CMAKE_COMMAND),
                {QStringLiteral("--install"), qEnvironmentVariable("VORN_BINARY_DIR"),
                 QStringLiteral("--prefix"), prefix_->path()});
        installed_ = install.exitCode == 0;
        installLog_ = install.out + install.err;
    }
    static void TearDownTestSuite() { delete prefix_; }
    void SetUp() override { ASSERT_TRUE(installed_) << installLog_.toStdString(); }

    static QString path(const QString& relative) { return prefix_->filePath(relative); }

    static inline QTemporaryDir* prefix_ = nullptr;
    static inline bool installed_ = false;
    static inline QString installLog_;
};
} // namespace

TEST_F(InstallTest, InstallsTheProgramsAndTheirDesktopFilesAndNothingElse) {
    QSet<QString> expected;
    for (const QString& program : programs()) {
        expected << QStringLiteral("bin/") + program
                 << QStringLiteral("share/man/man1/%1.1.gz").arg(program);
    }
    expected << QStringLiteral("share/applications/vorn.desktop")
             << QStringLiteral("share/metainfo/com.ostrandlabs.vorn.metainfo.xml")
             << QStringLiteral("share/icons/hicolor/scalable/apps/vorn.svg")
             << QStringLiteral("share/doc/vorn/copyright")
             << QStringLiteral("share/doc/vorn/changelog.gz");
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString png = QStringLiteral("share/icons/hicolor/%1x%1/apps/vorn.png").arg(size);
        expected << png;
        EXPECT_EQ(pngSize(path(png)), QSize(size, size)) << png.toStdString();
    }
    // Whatever the help folder of the source tree holds, and only that, is the help.
    const QDir help(qEnvironmentVariable("VORN_SOURCE_DIR") + QStringLiteral("/help"));
    for (QDirIterator it(help.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        expected << QStringLiteral("share/vorn/help/") + help.relativeFilePath(it.next());

    QSet<QString> found;
    const QDir root(prefix_->path());
    for (QDirIterator it(root.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        found << root.relativeFilePath(it.next());
    EXPECT_EQ(sortedLines(found), sortedLines(expected)) << "installed against expected files";
    for (const QString& program : programs()) {
        EXPECT_TRUE(QFileInfo(path(QStringLiteral("bin/") + program)).isExecutable())
            << program.toStdString();
    }
}

TEST_F(InstallTest, TheLauncherAndTheMetadataValidate) {
    const QString validator =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        GTEST_SKIP() << "desktop-file-validate (desktop-file-utils) is not installed";
    const Outcome desktop =
        run(validator, {path(QStringLiteral("share/applications/vorn.desktop"))});
    EXPECT_EQ(desktop.exitCode, 0);
    EXPECT_EQ((desktop.out + desktop.err).toStdString(), "") << "warnings count too";

    const QString appstream = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
    if (appstream.isEmpty())
        return;
    // The whole tree: the metadata, and the launcher and icon it names.
    const Outcome metainfo = run(
        appstream, {QStringLiteral("validate-tree"), QStringLiteral("--no-net"), prefix_->path()});
    EXPECT_EQ(metainfo.exitCode, 0) << (metainfo.out + metainfo.err).toStdString();
}

// The launcher's actions are commands the installed program takes.
TEST_F(InstallTest, TheLauncherRunsOptionsTheProgramKnows) {
    QFile launcher(path(QStringLiteral("share/applications/vorn.desktop")));
    ASSERT_TRUE(launcher.open(QIODevice::ReadOnly));
    const QString help = run(path(QStringLiteral("bin/vorn")), {QStringLiteral("--help")}).out;
    static const QRegularExpression exec(QStringLiteral("^Exec=vorn(.*)$"),
                                         QRegularExpression::MultilineOption);
    QStringList options;
    for (const auto& m : exec.globalMatch(QString::fromUtf8(launcher.readAll())))
        options << m.captured(1).trimmed();
    EXPECT_EQ(options, QStringList({QString(), QStringLiteral("--options"), QStringLiteral("--log"),
                                    QStringLiteral("--tools")}));
    for (const QString& option : options.mid(1))
        EXPECT_TRUE(help.contains(QStringLiteral("  ") + option + u' ')) << option.toStdString();
}

TEST_F(InstallTest, TheInstalledProgramsRun) {
    const Outcome version = run(path(QStringLiteral("bin/vorn")), {QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.toStdString(), std::string("VORN ") + VornVersion + "\n");
    for (const QString& program : programs()) {
        const Outcome help =
            run(path(QStringLiteral("bin/") + program), {QStringLiteral("--help")});
        EXPECT_EQ(help.exitCode, 0) << program.toStdString();
        EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: ") + program))
            << help.out.toStdString();
    }
}

// Every option and command the programs list in --help has its place in the manual page,
// and the pages format without a warning.
TEST_F(InstallTest, TheManualPagesCoverEveryOptionAndCommand) {
    const QString groff = QStandardPaths::findExecutable(QStringLiteral("groff"));
    // An option anywhere, or the first word of an indented help line (a command).
    static const QRegularExpression option(QStringLiteral("--[a-z][a-z-]*"));
    static const QRegularExpression command(QStringLiteral("^  ([a-z][a-z-]*)"),
                                            QRegularExpression::MultilineOption);
    for (const QString& program : programs()) {
        const QString source =
            qEnvironmentVariable("VORN_SOURCE_DIR") + QStringLiteral("/data/man/%1.1").arg(program);
        QFile file(source);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << source.toStdString();
        const QString page = QString::fromUtf8(file.readAll()).remove(u'\\');
        const QString help =
            run(path(QStringLiteral("bin/") + program), {QStringLiteral("--help")}).out;
        QStringList words;
        for (const auto& m : option.globalMatch(help))
            words << m.captured();
        for (const auto& m : command.globalMatch(help))
            words << m.captured(1);
        ASSERT_FALSE(words.isEmpty()) << program.toStdString();
        for (const QString& word : words) {
            EXPECT_TRUE(page.contains(QRegularExpression(QStringLiteral("(?<![\\w-])") +
                                                         QRegularExpression::escape(word) +
                                                         QStringLiteral("(?![\\w-])"))))
                << program.toStdString() << ": " << word.toStdString();
        }
        if (!groff.isEmpty()) {
            const Outcome format = run(groff, {QStringLiteral("-man"), QStringLiteral("-ww"),
                                               QStringLiteral("-z"), source});
            EXPECT_EQ(format.exitCode, 0);
            EXPECT_EQ(format.err.toStdString(), "") << program.toStdString();
        }
    }
}
