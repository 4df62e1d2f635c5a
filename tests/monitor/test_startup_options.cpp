#include "app/startup_options.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {
ParsedCommandLine parse(const QStringList& args) {
    return parseCommandLine(QStringList{"vorn"} + args);
}

QProcessEnvironment environment(const QList<QPair<QString, QString>>& values) {
    QProcessEnvironment env;
    for (const auto& [name, value] : values)
        env.insert(name, value);
    return env;
}
} // namespace

TEST(CommandLine, ReadsEveryOptionInBothSpellingsAndLeavesQtOptionsToQt) {
    const auto parsed = parse({"--dialup=simulated", "--config", "/tmp/a b.conf",
                               "--home=/tmp/home", "-platform", "offscreen", "-reverse"});
    ASSERT_TRUE(parsed.options) << parsed.error.toStdString();
    EXPECT_EQ(parsed.options->dialUp, "simulated");
    EXPECT_EQ(parsed.options->configFile, "/tmp/a b.conf");
    EXPECT_EQ(parsed.options->programFolder, "/tmp/home");
    EXPECT_FALSE(parsed.options->showHelp);

    const auto flags = parse({"--version", "--help", "--dialup", "pppd"});
    ASSERT_TRUE(flags.options);
    EXPECT_TRUE(flags.options->showVersion);
    EXPECT_TRUE(flags.options->showHelp);
    EXPECT_EQ(flags.options->dialUp, "pppd");
    EXPECT_FALSE(flags.options->command);
    EXPECT_EQ(parse({"--log", "--log"}).options->command, RemoteCommand::Log);
}

TEST(CommandLine, RefusesWhatItDoesNotKnowWithAReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"--dialup=modem", "modem"},       {"--dialup", "needs a value"},
        {"--config=", "needs a value"},    {"--verbose", "--verbose"},
        {"--version=2", "takes no value"}, {"stray", "stray"},
    };
    for (const auto& [argument, mentions] : cases) {
        SCOPED_TRACE(argument);
        const auto parsed = parse({argument});
        EXPECT_FALSE(parsed.options);
        EXPECT_TRUE(parsed.error.contains(mentions)) << parsed.error.toStdString();
    }
    EXPECT_FALSE(parse({"--options", "--exit"}).options);
    for (const char* option : {"--dialup", "--config", "--home", "--version", "--help", "--options",
                               "--tools", "--log", "--exit"})
        EXPECT_TRUE(helpText().contains(option)) << option;
    EXPECT_EQ(versionText(), "VORN 1.17\n");
}

TEST(PlatformChoice, WaylandWithX11StartsOnXcbUnlessTheUserChose) {
    const QPair<QString, QString> wayland{"WAYLAND_DISPLAY", "wayland-0"}, x11{"DISPLAY", ":0"};
    EXPECT_EQ(forcedPlatform(environment({wayland, x11})), "xcb");
    EXPECT_EQ(forcedPlatform(environment({wayland, x11, {"QT_QPA_PLATFORM", "wayland"}})),
              QString());
    EXPECT_EQ(forcedPlatform(environment({wayland})), QString())
        << "without XWayland there is nothing to switch to";
    EXPECT_EQ(forcedPlatform(environment({x11})), QString());
}

TEST(ProgramFolder, OptionThenVornHomeThenDataHome) {
    const QPair<QString, QString> vornHome{"VORN_HOME", "/srv/vorn"}, data{"XDG_DATA_HOME", "/d"},
        home{"HOME", "/home/u"};
    const auto env = environment({vornHome, data, home});
    EXPECT_EQ(programFolder("/opt/v/", env), "/opt/v");
    EXPECT_EQ(programFolder(QString(), env), "/srv/vorn");
    EXPECT_EQ(programFolder(QString(), environment({data})), "/d/VORN");
    EXPECT_EQ(programFolder(QString(), environment({home})), "/home/u/.local/share/VORN");
    EXPECT_TRUE(QDir::isAbsolutePath(programFolder("rel", env)));
}
