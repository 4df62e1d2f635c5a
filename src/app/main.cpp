// The program entry: the one place where the real services are made and handed to the
// main window.

#include "app/app_windows.h"
#include "app/command_channel.h"
#include "app/message_box_prompts.h"
#include "app/process_priority.h"
#include "app/qt_dialogs.h"
#include "app/qt_report_printer.h"
#include "app/single_instance.h"
#include "app/startup_options.h"
#include "app/unix_signals.h"
#include "app/vorn_application.h"
#include "core/clock.h"
#include "core/connectoid_names.h"
#include "core/data_folders.h"
#include "core/debug_log.h"
#include "core/ini_settings_store.h"
#include "core/lists.h"
#include "core/regional.h"
#include "core/settings.h"
#include "core/version.h"
#include "monitor/tfrm_digital.h"
#include "platform/autostart.h"
#include "platform/byte_counters.h"
#include "platform/dial_up_chooser.h"
#include "platform/help.h"
#include "platform/power.h"
#include "platform/shell.h"
#include "platform/sound.h"
#include "platform/x11_window_state.h"

#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {
const QString ProductKey;

void print(FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

// How long a command waits for the running copy, which may still be starting.
constexpr int CommandTimeoutMs = 10000;

// Where help pages are looked for: the shipped-file folders, then, in a build that was
// never installed, the source tree.
QStringList helpFolders(const QString& programFolder) {
    QStringList folders = dataFolders(programFolder);
#ifdef VORN_SOURCE_DIR
    folders << QStringLiteral(VORN_SOURCE_DIR);
#endif
    return folders;
}
} // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    if (!parsed.options) {
        print(stderr, QStringLiteral("vorn: %1\nTry 'vorn --help'.\n").arg(parsed.error));
        return 2;
    }
    const StartupOptions& options = *parsed.options;
    if (options.showHelp) {
        print(stdout, helpText());
        return 0;
    }
    if (options.showVersion) {
        print(stdout, versionText());
        return 0;
    }

    // One copy per user. A command for the running copy is handed over without a display;
    // with no copy running, the window commands start one.
    SingleInstance instance;
    const SingleInstance::Result claim = instance.acquire();
    const QString commandSocket = defaultCommandSocketPath();
    if (options.command) {
        if (claim != SingleInstance::Result::Acquired &&
            sendCommand(commandSocket, *options.command,
                        claim == SingleInstance::Result::AlreadyRunning ? CommandTimeoutMs : 500) ==
                SendResult::Delivered)
            return 0;
        if (claim == SingleInstance::Result::AlreadyRunning) {
            print(stderr, QStringLiteral("vorn: the running copy of VORN does not answer.\n"));
            return 1;
        }
        if (*options.command == RemoteCommand::Exit) {
            print(stderr, QStringLiteral("VORN is not running.\n"));
            return 1;
        }
    }

    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (const QString platform = forcedPlatform(environment); !platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform.toLatin1());

    VornApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(VornApplicationTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(VornVersion));
    QApplication::setOrganizationName(QStringLiteral("Ostrand Labs"));
    // The program lives in the tray: closing a box or the about window must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    MessageBoxPrompts prompts;
    if (!claimSingleInstance(instance, claim, prompts))
        return 0;
    CommandServer commands;
    if (!commands.listen(commandSocket))
        qWarning("vorn: no command socket at %s (%s); vorn --options and the like will not "
                 "reach this copy",
                 qPrintable(commandSocket), qPrintable(commands.errorString()));

    // Started from a menu nobody reads the terminal: a failure is shown in a box too.
    const auto fail = [&prompts](const QString& text) {
        print(stderr, QStringLiteral("vorn: %1\n").arg(text));
        prompts.error(text);
        return 1;
    };
    const QString folder = programFolder(options.programFolder, environment);
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isWritable())
        return fail(QStringLiteral("Cannot use the program folder %1.").arg(folder));

    // Without a writable settings file a call in progress could not be recovered after a
    // crash, and nothing the user sets would be kept.
    const QString configFile =
        options.configFile.isEmpty() ? IniSettingsStore::defaultPath() : options.configFile;
    IniSettingsStore store(configFile);
    if (const QFileInfo config(configFile); !config.isFile() || !config.isWritable())
        return fail(QStringLiteral("Cannot write the settings file %1.").arg(configFile));
    SystemClock clock;
    const RegionalSettings regional = RegionalSettings::fromSystem();
    DebugLog debugLog(clock);
    // The debug log traces from the first moment when the stored setting asks for it.
    debugLog.setEnabled(store.readBoolean(ProductKey, QStringLiteral("Debug_Logging"), false));
    typSettings settings;
    typLists lists;
    ConnectoidNameTable connectoidNames;

    // The service is needed before the settings are loaded (the phonebook is read first),
    // so its two settings are read on their own here.
    DialUpEnvironment dialUpEnvironment;
    dialUpEnvironment.allProfiles =
        store.readBoolean(ProductKey, QStringLiteral("Dial_Up_All_Profiles"), false);
    DialUpChoice dialUp = chooseDialUpService(
        options.dialUp, store.readString(ProductKey, QStringLiteral("Dial_Up_Service"), {}),
        debugLog, dialUpEnvironment);
    const std::unique_ptr<ByteCounters> byteCounters = dialUp.service->createByteCounters();

    MonitorServices services{store,
                             *dialUp.service,
                             *byteCounters,
                             clock,
                             prompts,
                             regional,
                             debugLog,
                             settings,
                             lists,
                             connectoidNames,
                             folder,
                             &applyProcessPriority,
                             [](int exitCode) {
                                 std::fflush(nullptr);
                                 std::_Exit(exitCode);
                             }};

    // Applications at connect and disconnect, documents and web addresses, and the
    // shut-down or restart after a call.
    // Window states can be asked of an X11 window manager (XWayland's included).
    X11WindowState windowStates;
    LinuxShell::Options shellOptions;
    if (windowStates.isConnected())
        shellOptions.applyWindowState = [&windowStates](qint64 session, WindowState state) {
            windowStates.apply(session, state);
        };
    shellOptions.trace = [&debugLog](const QString& line) { debugLog.add(line); };
    LinuxShell shell(shellOptions);
    LogindPower power;
    services.shell = &shell;
    services.power = &power;
    MultimediaSound sound;
    services.sound = &sound;
    BrowserHelp help(shell, prompts, helpFolders(folder));
    services.help = &help;

    // The options, tools and call log windows.
    QtDialogs dialogs;
    QtReportPrinter printer(dialogs);
    TfrmDigital* mainWindow = nullptr;
    WindowServices windowServices{
        store,
        prompts,
        dialogs,
        printer,
        help,
        shell,
        clock,
        regional,
        debugLog,
        settings,
        lists,
        connectoidNames,
        *dialUp.service,
        folder,
        PlatformCapabilities{byteCounters->IsDataRateAvailable(),
                             dialUp.service->knowsConnectSpeed()},
        [&mainWindow] { return mainWindow && mainWindow->state().connected; }};
    XdgAutostart autostart;
    windowServices.autostart = &autostart;
    windowServices.showDigitalDisplay = [&mainWindow] {
        if (mainWindow)
            mainWindow->ShowDigitalDisplay();
    };
    windowServices.keptCallLengthLimit = [&mainWindow] {
        return mainWindow ? mainWindow->keptCallLengthLimit() : nullptr;
    };
    AppWindows windows(windowServices);
    services.windows = &windows;

    UnixSignalQuitter quitter;
    TfrmDigital frmDigital(services);
    mainWindow = &frmDigital;
    app.setFatalHandler(
        [&frmDigital](const QString& message) { frmDigital.HandleException(message); });
    QObject::connect(&frmDigital, &TfrmDigital::quitRequested, &app,
                     [](int exitCode) { QCoreApplication::exit(exitCode); });

    // A later start's command goes where the tray menu's item would.
    const auto runCommand = [&frmDigital](RemoteCommand command) {
        switch (command) {
        case RemoteCommand::Options:
            frmDigital.mnuOptionsClick();
            break;
        case RemoteCommand::Tools:
            frmDigital.mnuToolsClick();
            break;
        case RemoteCommand::Log:
            frmDigital.mnuLogClick();
            break;
        case RemoteCommand::Exit:
            frmDigital.mnuExitClick();
            break;
        }
    };
    QObject::connect(&commands, &CommandServer::commandReceived, &frmDigital, runCommand);

    try {
        frmDigital.FormCreate();
    } catch (const std::exception& e) {
        frmDigital.HandleException(QString::fromUtf8(e.what()));
    }
    if (options.command)
        QTimer::singleShot(0, &frmDigital,
                           [&runCommand, &options] { runCommand(*options.command); });
    return app.exec();
}
