#include "app/single_instance.h"

#include "scripted_prompts.h"

#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SingleInstance, SecondCopySaysSoAndIsRefusedUntilTheFirstEnds) {
    QTemporaryDir dir;
    const QString path = dir.filePath("vorn.lock");
    auto first = std::make_unique<SingleInstance>(path);
    ScriptedPrompts prompts;
    ASSERT_TRUE(claimSingleInstance(*first, first->acquire(), prompts));
    EXPECT_TRUE(prompts.shown.isEmpty());

    SingleInstance second(path);
    EXPECT_FALSE(claimSingleInstance(second, second.acquire(), prompts));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, "VORN is already running.");
    EXPECT_EQ(prompts.shown[0].kind, Prompts::Kind::Information);
    EXPECT_EQ(prompts.shown[0].buttons, Prompts::Buttons::Ok);

    first.reset();
    EXPECT_EQ(second.acquire(), SingleInstance::Result::Acquired);

    // An unusable lock folder does not stop the program.
    SingleInstance unusable("/nonexistent-folder/for/vorn.lock");
    EXPECT_EQ(unusable.acquire(), SingleInstance::Result::Failed);
}

TEST(SingleInstance, LockOfACrashedCopyIsTakenOver) {
    QTemporaryDir dir;
    const QString path = dir.filePath("vorn.lock");
    // A process id that has certainly ended: a child that has run and been reaped.
    QProcess child;
    child.start("/bin/true");
    ASSERT_TRUE(child.waitForStarted(5000));
    const qint64 deadPid = child.processId();
    ASSERT_TRUE(child.waitForFinished(5000));
    QFile lock(path);
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(deadPid) + "\nvorn\n" + QSysInfo::machineHostName().toUtf8() +
               '\n');
    lock.close();
    SingleInstance instance(path);
    EXPECT_EQ(instance.acquire(), SingleInstance::Result::Acquired);
}

TEST(SingleInstance, LockLivesInTheRuntimeFolder) {
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    EXPECT_EQ(SingleInstance::defaultLockPath(), runtime.filePath("vorn.lock"));
}
