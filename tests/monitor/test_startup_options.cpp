#include "app/startup_options.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {
ParsedCommandLine parse(const QStringList& args) {
    return parseCommandLine(QStringList{QStringLiteral("vorn")} + args);
}

QProcessEnvironment environment(const QList<QPair<QString, QString>>& values) {
    QProcessEnvironment env;
    for (const auto& [name, value] : values)
        env.insert(name, value);
    return env;
}
} // namespace

TEST(CommandLine, ReadsEveryOptionInBothSpellings) {
    const auto parsed =
        parse({QStringLiteral("--dialup=simulated"), QStringLiteral("--config"),
               QStringLiteral("/tmp/a b.conf"), QStringLiteral("--home=/tmp/home")});
    ASSERT_TRUE(parsed.options) << parsed.error.toStdString();
    EXPECT_EQ(parsed.options->dialUp, QStringLiteral("simulated"));
    EXPECT_EQ(parsed.options->configFile, QStringLiteral("/tmp/a b.conf"));
    EXPECT_EQ(parsed.options->programFolder, QStringLiteral("/tmp/home"));
    EXPECT_FALSE(parsed.options->showHelp);

    const auto flags = parse({QStringLiteral("--version"), QStringLiteral("--help"),
                              QStringLiteral("--dialup"), QStringLiteral("pppd")});
    ASSERT_TRUE(flags.options);
    EXPECT_TRUE(flags.options->showVersion);
    EXPECT_TRUE(flags.options->showHelp);
    EXPECT_EQ(flags.options->dialUp, QStringLiteral("pppd"));
}

TEST(CommandLine, LeavesQtOptionsToQt) {
    const auto parsed = parse({QStringLiteral("-platform"), QStringLiteral("offscreen"),
                               QStringLiteral("-reverse"), QStringLiteral("--home=/x")});
    ASSERT_TRUE(parsed.options) << parsed.error.toStdString();
    EXPECT_EQ(parsed.options->programFolder, QStringLiteral("/x"));
}

TEST(CommandLine, RefusesWhatItDoesNotKnowWithAReason) {
    struct Case {
        QStringList args;
        const char* mentions;
    };
    const Case cases[] = {
        {{QStringLiteral("--dialup=modem")}, "modem"},
        {{QStringLiteral("--dialup")}, "needs a value"},
        {{QStringLiteral("--config=")}, "needs a value"},
        {{QStringLiteral("--verbose")}, "--verbose"},
        {{QStringLiteral("--version=2")}, "takes no value"},
        {{QStringLiteral("stray")}, "stray"},
    };
    for (const Case& c : cases) {
        const auto parsed = parse(c.args);
        EXPECT_FALSE(parsed.options) << c.args.join(u' ').toStdString();
        EXPECT_TRUE(parsed.error.contains(QString::fromLatin1(c.mentions)))
            << parsed.error.toStdString();
    }
}

TEST(CommandLine, HelpNamesEveryOption) {
    for (const char* option : {"--dialup", "--config", "--home", "--version", "--help"})
        EXPECT_TRUE(helpText().contains(QString::fromLatin1(option))) << option;
    EXPECT_EQ(versionText(), QStringLiteral("VORN 1.17\n"));
}

TEST(PlatformChoice, WaylandWithX11StartsOnXcbUnlessTheUserChose) {
    const QString wayland = QStringLiteral("WAYLAND_DISPLAY");
    const QString x11 = QStringLiteral("DISPLAY");
    const QString qpa = QStringLiteral("QT_QPA_PLATFORM");
    EXPECT_EQ(forcedPlatform(environment(
                  {{wayland, QStringLiteral("wayland-0")}, {x11, QStringLiteral(":0")}})),
              QStringLiteral("xcb"));
    EXPECT_EQ(forcedPlatform(environment({{wayland, QStringLiteral("wayland-0")},
                                          {x11, QStringLiteral(":0")},
                                          {qpa, QStringLiteral("wayland")}})),
              QString());
    EXPECT_EQ(forcedPlatform(environment({{wayland, QStringLiteral("wayland-0")}})), QString())
        << "without XWayland there is nothing to switch to";
    EXPECT_EQ(forcedPlatform(environment({{x11, QStringLiteral(":0")}})), QString());
}

TEST(ProgramFolder, OptionThenVornHomeThenDataHome) {
    const auto env = environment({{QStringLiteral("VORN_HOME"), QStringLiteral("/srv/vorn")},
                                  {QStringLiteral("XDG_DATA_HOME"), QStringLiteral("/d")},
                                  {QStringLiteral("HOME"), QStringLiteral("/home/u")}});
    EXPECT_EQ(programFolder(QStringLiteral("/opt/v/"), env), QStringLiteral("/opt/v"));
    EXPECT_EQ(programFolder(QString(), env), QStringLiteral("/srv/vorn"));
    EXPECT_EQ(programFolder(QString(),
                            environment({{QStringLiteral("XDG_DATA_HOME"), QStringLiteral("/d")}})),
              QStringLiteral("/d/VORN"));
    EXPECT_EQ(programFolder(QString(),
                            environment({{QStringLiteral("HOME"), QStringLiteral("/home/u")}})),
              QStringLiteral("/home/u/.local/share/VORN"));
    EXPECT_TRUE(QDir::isAbsolutePath(programFolder(QStringLiteral("rel"), env)));
}
