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

    QString word;
    QString source;
    QString note;
    if (!commandLineChoice.trimmed().isEmpty()) {
        word = normalised(commandLineChoice);
        source = QStringLiteral("chosen on the command line");
        if (!isDialUpServiceName(word)) {
            note = QStringLiteral("\"%1\" on the command line is not a dial-up service; ")
                       .arg(commandLineChoice.trimmed());
            word = QStringLiteral("auto");
        }
    } else if (!settingsChoice.trimmed().isEmpty()) {
        word = normalised(settingsChoice);
        source = QStringLiteral("chosen in the settings");
        if (!isDialUpServiceName(word)) {
            note = QStringLiteral("the setting \"%1\" is not a dial-up service; ")
                       .arg(settingsChoice.trimmed());
            word = QStringLiteral("auto");
        }
    } else {
        word = QStringLiteral("auto");
    }

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
