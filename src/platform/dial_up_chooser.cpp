#include "platform/dial_up_chooser.h"

#include "core/debug_log.h"
#include "platform/network_manager_dial_up.h"
#include "platform/pppd_dial_up.h"
#include "platform/simulated_dial_up.h"

namespace {

QString normalised(const QString& name) {
    return name.trimmed().toLower();
}

std::unique_ptr<NetworkManagerDialUp> makeNetworkManager(const DialUpEnvironment& environment) {
    NetworkManagerDialUp::Options options;
    options.busAddress = environment.systemBusAddress;
    options.timeoutMs = environment.timeoutMs;
    options.allProfiles = environment.allProfiles;
    return std::make_unique<NetworkManagerDialUp>(options);
}

} // namespace

bool isDialUpServiceName(const QString& name) {
    const QString word = normalised(name);
    return word == QLatin1String("auto") || word == QLatin1String("networkmanager") ||
           word == QLatin1String("pppd") || word == QLatin1String("simulated");
}

DialUpChoice chooseDialUpService(const QString& commandLineChoice, const QString& settingsChoice,
                                 DebugLog& log, const DialUpEnvironment& environment) {
    log.trace([&] { return QStringLiteral("ChooseDialUpService - Start"); });
    log.trace([&] {
        return QStringLiteral("ChooseDialUpService - Command line = ") + commandLineChoice;
    });
    log.trace([&] { return QStringLiteral("ChooseDialUpService - Setting = ") + settingsChoice; });

    // The command line's word wins; an unknown word is reported and taken as "auto".
    QString word = QStringLiteral("auto");
    QString source;
    QString note;
    const auto take = [&](const QString& choice, const QString& from, const QString& unknown) {
        word = normalised(choice);
        source = from;
        if (!isDialUpServiceName(word)) {
            note = unknown.arg(choice.trimmed());
            word = QStringLiteral("auto");
        }
    };
    if (!commandLineChoice.trimmed().isEmpty())
        take(commandLineChoice, QStringLiteral("chosen on the command line"),
             QStringLiteral("\"%1\" on the command line is not a dial-up service; "));
    else if (!settingsChoice.trimmed().isEmpty())
        take(settingsChoice, QStringLiteral("chosen in the settings"),
             QStringLiteral("the setting \"%1\" is not a dial-up service; "));

    DialUpChoice choice;
    if (word == QLatin1String("networkmanager")) {
        choice.service = makeNetworkManager(environment);
        choice.reason = QStringLiteral("NetworkManager, ") + source;
    } else if (word == QLatin1String("pppd")) {
        choice.service = std::make_unique<PppdDialUp>(environment.pppdRoot);
        choice.reason = QStringLiteral("pppd, ") + source;
    } else if (word == QLatin1String("simulated")) {
        const QString path = environment.simulatedStatePath.isEmpty()
                                 ? defaultSimulatedStatePath()
                                 : environment.simulatedStatePath;
        choice.service = std::make_unique<SimulatedDialUp>(path);
        choice.reason = QStringLiteral("simulated, %1 (state file %2)").arg(source, path);
    } else {
        std::unique_ptr<NetworkManagerDialUp> networkManager = makeNetworkManager(environment);
        QString error;
        if (networkManager->probe(&error)) {
            choice.service = std::move(networkManager);
            choice.reason =
                note + QStringLiteral("NetworkManager, which answered on the system bus");
        } else {
            choice.service = std::make_unique<PppdDialUp>(environment.pppdRoot);
            choice.reason =
                note + QStringLiteral("pppd, since NetworkManager did not answer on the system "
                                      "bus (%1)")
                           .arg(error);
        }
    }

    log.trace(
        [&] { return QStringLiteral("ChooseDialUpService - Result = ") + choice.service->name(); });
    log.trace([&] { return QStringLiteral("ChooseDialUpService - Reason = ") + choice.reason; });
    log.trace([&] { return QStringLiteral("ChooseDialUpService - Finish"); });
    return choice;
}
