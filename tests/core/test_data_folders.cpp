#include "core/data_folders.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {
void put(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}
} // namespace

TEST(DataFolders, ProgramFolderFirstThenBesideTheBinaryThenTheDataFolders) {
    QTemporaryDir dataHome;
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    const QStringList folders = dataFolders(QStringLiteral("/home/u/VORN/"));
    qputenv("XDG_DATA_HOME", saved);

    ASSERT_GE(folders.size(), 3);
    EXPECT_EQ(folders[0], QStringLiteral("/home/u/VORN"));
    EXPECT_EQ(folders[1], QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                          QStringLiteral("/../share/vorn")));
    EXPECT_EQ(folders[2], dataHome.filePath(QStringLiteral("vorn")));
}

TEST(DataFolders, TheFirstFolderHoldingTheFileWins) {
    QTemporaryDir program;
    QTemporaryDir dataHome;
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    const QString name = QStringLiteral("help/index.html");
    const QString own = program.filePath(name);
    const QString shared = dataHome.filePath(QStringLiteral("vorn/") + name);

    EXPECT_EQ(locateProgramFile(program.path(), name), own) << "missing: where it belongs";
    put(shared);
    EXPECT_EQ(locateProgramFile(program.path(), name), shared);
    put(own);
    EXPECT_EQ(locateProgramFile(program.path(), name), own) << "the user's own copy first";
    QDir().mkpath(program.filePath(QStringLiteral("whenconnected.wav")));
    put(dataHome.filePath(QStringLiteral("vorn/whenconnected.wav")));
    EXPECT_EQ(locateProgramFile(program.path(), QStringLiteral("whenconnected.wav")),
              dataHome.filePath(QStringLiteral("vorn/whenconnected.wav")))
        << "a folder of that name is no file";
    qputenv("XDG_DATA_HOME", saved);
}
