#include "startup_options.h"

#include "core/version.h"

#include <QDir>

namespace {
struct OptionSpec {
    QString name;
    bool takesValue;
};

const QList<OptionSpec>& optionSpecs() {
    static const QList<OptionSpec> specs = {
        {QStringLiteral("dialup"), true},   {QStringLiteral("config"), true},
        {QStringLiteral("home"), true},     {QStringLiteral("help"), false},
        {QStringLiteral("options"), false}, {QStringLiteral("tools"), false},
        {QStringLiteral("log"), false},     {QStringLiteral("exit"), false},
        {QStringLiteral("version"), false}};
    return specs;
}
// Options QGuiApplication reads, each followed by its value.
const QStringList& qtOptionsWithValue() {
    static const QStringList names = {QStringLiteral("platform"),
                                      QStringLiteral("platformpluginpath"),
                                      QStringLiteral("platformtheme"),
                                      QStringLiteral("plugin"),
                                      QStringLiteral("style"),
                                      QStringLiteral("stylesheet"),
                                      QStringLiteral("display"),
                                      QStringLiteral("geometry"),
                                      QStringLiteral("qwindowgeometry"),
                                      QStringLiteral("qwindowicon"),
                                      QStringLiteral("qwindowtitle"),
                                      QStringLiteral("session"),
                                      QStringLiteral("name"),
                                      QStringLiteral("title")};
    return names;
}
} // namespace

const QStringList& knownDialUpServices() {
    static const QStringList names = {QStringLiteral("auto"), QStringLiteral("networkmanager"),
                                      QStringLiteral("pppd"), QStringLiteral("simulated")};
    return names;
}

QString helpText() {
    return QStringLiteral(
        "Usage: vorn [options]\n"
        "Shows the running cost of a metered dial-up or mobile connection and records\n"
        "every call in a call log.\n"
        "\n"
        "Options:\n"
        "  --dialup=SERVICE  dial-up service: auto, networkmanager, pppd or simulated\n"
        "                    (default: the Dial_Up_Service setting, else auto)\n"
        "  --config FILE     settings file (default: $VORN_CONFIG, else\n"
        "                    $XDG_CONFIG_HOME/Ostrand Labs/VORN.conf)\n"
        "  --home DIR        program folder holding Logs/ (default: $VORN_HOME, else\n"
        "                    $XDG_DATA_HOME/VORN)\n"
        "  --options         open the options of the running copy (starting one if\n"
        "                    none runs)\n"
        "  --tools           open the tools window of the running copy (the same)\n"
        "  --log             open the call log of the running copy (the same)\n"
        "  --exit            end the running copy, as its tray menu's Exit does\n"
        "  --version         show the version and exit\n"
        "  --help            show this text and exit\n");
}

QString versionText() {
    return QString::fromLatin1(VornApplicationTitle) + QStringLiteral(" ") +
           QString::fromLatin1(VornVersion) + u'\n';
}

ParsedCommandLine parseCommandLine(const QStringList& arguments) {
    ParsedCommandLine result;
    StartupOptions options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        // Qt's own options (-platform, -style …) are taken out by QApplication later.
        if (!argument.startsWith(QStringLiteral("--"))) {
            if (argument.startsWith(u'-')) {
                if (qtOptionsWithValue().contains(argument.mid(1)))
                    ++i;
                continue;
            }
            result.error = QStringLiteral("unexpected argument: %1").arg(argument);
            return result;
        }
        QString name = argument.mid(2);
        std::optional<QString> value;
        if (const qsizetype eq = name.indexOf(u'='); eq >= 0) {
            value = name.mid(eq + 1);
            name.truncate(eq);
        }
        const auto option = std::find_if(optionSpecs().begin(), optionSpecs().end(),
                                         [&](const OptionSpec& s) { return s.name == name; });
        if (option == optionSpecs().end()) {
            result.error = QStringLiteral("unknown option: --%1").arg(name);
            return result;
        }
        if (option->takesValue && !value) {
            if (i + 1 >= arguments.size()) {
                result.error = QStringLiteral("--%1 needs a value").arg(name);
                return result;
            }
            value = arguments[++i];
        }
        if (!option->takesValue && value) {
            result.error = QStringLiteral("--%1 takes no value").arg(name);
            return result;
        }
        if (name == QLatin1String("dialup")) {
            if (!knownDialUpServices().contains(*value)) {
                result.error = QStringLiteral("unknown dial-up service '%1' (use one of: %2)")
                                   .arg(*value, knownDialUpServices().join(QStringLiteral(", ")));
                return result;
            }
            options.dialUp = *value;
        } else if (name == QLatin1String("config") || name == QLatin1String("home")) {
            if (value->isEmpty()) {
                result.error = QStringLiteral("--%1 needs a value").arg(name);
                return result;
            }
            (name == QLatin1String("config") ? options.configFile : options.programFolder) = *value;
        } else if (name == QLatin1String("help")) {
            options.showHelp = true;
        } else if (const auto command = commandFromWord(name)) {
            if (options.command && *options.command != *command) {
                result.error = QStringLiteral("--%1 and --%2 cannot be given together")
                                   .arg(commandWord(*options.command), name);
                return result;
            }
            options.command = command;
        } else {
            options.showVersion = true;
        }
    }
    result.options = options;
    return result;
}

QString forcedPlatform(const QProcessEnvironment& environment) {
    if (!environment.value(QStringLiteral("QT_QPA_PLATFORM")).isEmpty())
        return {};
    if (environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty())
        return {};
    if (environment.value(QStringLiteral("DISPLAY")).isEmpty())
        return {};
    return QStringLiteral("xcb");
}
