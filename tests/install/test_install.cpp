// The installed tree: `cmake --install` into a temporary prefix, then what landed there,
// whether the desktop's validators accept it, and whether the installed programs run and
// are described by their manual pages.
#include "core/version.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

struct Outcome {
    int exitCode = -1;
    QString out, err;
};

// Runs a program; a missing one, like a crash, gives exit code -1.
Outcome run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

class Installed : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        prefix = new QTemporaryDir;
        const Outcome install =
            run(VORN_CMAKE_COMMAND,
                {"--install", qEnvironmentVariable("VORN_BINARY_DIR"), "--prefix", prefix->path()});
        log = install.exitCode == 0 ? QString() : install.out + install.err + " ";
    }
    static void TearDownTestSuite() { delete prefix; }
    void SetUp() override { ASSERT_TRUE(log.isEmpty()) << log.toStdString(); }

    static QString path(const QString& relative) { return prefix->filePath(relative); }
    static QStringList programs() {
        return VORN_HAS_VORN_LOG ? QStringList{"vorn", "vorn-sim", "vorn-log"}
                                 : QStringList{"vorn", "vorn-sim"};
    }

    static inline QTemporaryDir* prefix = nullptr;
    static inline QString log;
};

} // namespace

TEST_F(Installed, TheProgramsTheirDesktopFilesAndHelpAndNothingElse) {
    QStringList expected{"share/applications/vorn.desktop",
                         "share/metainfo/com.ostrandlabs.vorn.metainfo.xml",
                         "share/icons/hicolor/scalable/apps/vorn.svg", "share/doc/vorn/copyright",
                         "share/doc/vorn/changelog.gz"};
    for (const QString& program : programs()) // run by the tests below
        expected << "bin/" + program << QString("share/man/man1/%1.1.gz").arg(program);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        expected << QString("share/icons/hicolor/%1x%1/apps/vorn.png").arg(size);
        EXPECT_EQ(QImageReader(path(expected.last()), "png").size(), QSize(size, size)) << size;
    }
    // Whatever the help folder of the source tree holds, and only that, is the help.
    const QDir help(qEnvironmentVariable("VORN_SOURCE_DIR") + "/help");
    for (QDirIterator it(help.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        expected << "share/vorn/help/" + help.relativeFilePath(it.next());
    QStringList found;
    for (QDirIterator it(prefix->path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        found << QDir(prefix->path()).relativeFilePath(it.next());
    expected.sort();
    found.sort();
    EXPECT_EQ(found.join(u'\n').toStdString(), expected.join(u'\n').toStdString());
}

// The launcher and the metadata validate, without a warning; the launcher's actions are
// options the installed program takes.
TEST_F(Installed, TheLauncherValidatesAndRunsOptionsTheProgramKnows) {
    const QString launcher = path("share/applications/vorn.desktop");
    QFile file(launcher);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList options;
    for (const auto& m : QRegularExpression("^Exec=vorn(.*)$", QRegularExpression::MultilineOption)
                             .globalMatch(QString::fromUtf8(file.readAll())))
        options << m.captured(1).trimmed();
    EXPECT_EQ(options, QStringList({"", "--options", "--log", "--tools"}));
    const QString help = run(path("bin/vorn"), {"--help"}).out;
    for (const QString& option : options.mid(1))
        EXPECT_TRUE(help.contains("  " + option + ' ')) << option.toStdString();

    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (validator.isEmpty())
        GTEST_SKIP() << "desktop-file-validate (desktop-file-utils) is not installed";
    const Outcome desktop = run(validator, {launcher});
    EXPECT_EQ(desktop.exitCode, 0);
    EXPECT_EQ((desktop.out + desktop.err).toStdString(), "") << "warnings count too";
    // The whole tree: the metadata, and the launcher and icon it names.
    const QString appstream = QStandardPaths::findExecutable("appstreamcli");
    if (!appstream.isEmpty()) {
        const Outcome metainfo = run(appstream, {"validate-tree", "--no-net", prefix->path()});
        EXPECT_EQ(metainfo.exitCode, 0) << (metainfo.out + metainfo.err).toStdString();
    }
}

// The installed programs run; every option and command they list in --help has its place
// in the manual page, and the pages format without a warning.
TEST_F(Installed, TheProgramsRunAndTheirManualPagesCoverEveryOptionAndCommand) {
    const Outcome version = run(path("bin/vorn"), {"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.toStdString(), std::string("VORN ") + VornVersion + "\n");
    const QString groff = QStandardPaths::findExecutable("groff");
    // An option anywhere, or the first word of an indented help line (a command).
    static const QRegularExpression word("--[a-z][a-z-]*|^  [a-z][a-z-]*",
                                         QRegularExpression::MultilineOption);
    for (const QString& program : programs()) {
        const Outcome help = run(path("bin/" + program), {"--help"});
        EXPECT_EQ(help.exitCode, 0) << program.toStdString();
        EXPECT_TRUE(help.out.startsWith("Usage: " + program)) << help.out.toStdString();
        const QString source =
            qEnvironmentVariable("VORN_SOURCE_DIR") + QString("/data/man/%1.1").arg(program);
        QFile file(source);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << source.toStdString();
        const QString page = QString::fromUtf8(file.readAll()).remove(u'\\');
        int words = 0;
        for (const auto& m : word.globalMatch(help.out)) {
            const QString w = m.captured().trimmed();
            ++words;
            EXPECT_TRUE(page.contains(
                QRegularExpression("(?<![\\w-])" + QRegularExpression::escape(w) + "(?![\\w-])")))
                << program.toStdString() << ": " << w.toStdString();
        }
        EXPECT_GT(words, 0) << program.toStdString();
        if (!groff.isEmpty()) {
            const Outcome format = run(groff, {"-man", "-ww", "-z", source});
            EXPECT_EQ(format.exitCode, 0);
            EXPECT_EQ(format.err.toStdString(), "") << program.toStdString();
        }
    }
}
