// The six sound events (tones, a wave file or both, by their settings) and the sounds at
// the end of the minimum charge period and in the maximum charge period.

#include "monitor/tfrm_digital.h"

#include "core/clock.h"
#include "core/data_folders.h"
#include "core/settings.h"
#include "platform/sound.h"
#include "tariff/further_details.h"
#include "tariff/tariff_context.h"

#include <algorithm>
#include <limits>

namespace {
struct SoundEvent {
    const char* name;
    qint32 typSettings::*setting;
    QList<Tone> tones;
    const char* wave;
};

QList<Tone> repeated(const QList<Tone>& tones, int times) {
    QList<Tone> all;
    for (int i = 0; i < times; ++i)
        all += tones;
    return all;
}

const QList<SoundEvent>& soundEvents() {
    static const QList<SoundEvent> events = {
        {"WhenConnected",
         &typSettings::Sound_Event_WhenConnected,
         {{1047, 100}, {1109, 100}, {1175, 100}},
         "whenconnected.wav"},
        {"WhenDisconnect",
         &typSettings::Sound_Event_WhenDisconnect,
         {{1175, 100}, {1109, 100}, {1047, 100}},
         "whendisconnect.wav"},
        {"AtMinimumCharge", &typSettings::Sound_Event_AtMinimumCharge,
         repeated({{2093, 100}, {1976, 100}, {1857, 100}}, 5), "atminimumcharge.wav"},
        {"AtMaximumCharge", &typSettings::Sound_Event_AtMaximumCharge,
         repeated({{2200, 100}, {2000, 100}}, 5), "atmaximumcharge.wav"},
        {"NewMailNotification", &typSettings::Sound_Event_NewMailNotification,
         repeated({{2250, 50}, {1800, 75}, {2500, 50}}, 5), "newmailnotification.wav"},
        {"AtAutoDisconnectStart", &typSettings::Sound_Event_AtAutoDisconnectStart,
         repeated({{2500, 125}, {2000, 75}}, 5), "atautodisconnectstart.wav"},
    };
    return events;
}

enum SoundSetting { SoundNone = 0, InternalSpeaker = 1, Wave = 2, Both = 3 };
} // namespace

void TfrmDigital::PlaySoundEvent(const QString& eventName) {
    journal(QStringLiteral("PlaySoundEvent ") + eventName);
    for (const SoundEvent& event : soundEvents()) {
        if (eventName != QLatin1String(event.name))
            continue;
        const qint32 setting = s_.settings.*event.setting;
        if ((setting == InternalSpeaker || setting == Both) && s_.sound)
            s_.sound->playTones(event.tones);
        if (setting == Wave || setting == Both)
            PlayWave(QString::fromLatin1(event.wave));
        return;
    }
}

void TfrmDigital::PlayWave(const QString& fileName) {
    if (s_.sound)
        s_.sound->playWave(locateProgramFile(s_.programFolder, fileName));
}

void TfrmDigital::CheckChargeSounds() {
    journal(QStringLiteral("CheckChargeSounds"));
    const qint64 elapsed = (s_.clock.milliseconds() - state_.callStartCount) / 1000;
    const qint32 seconds =
        static_cast<qint32>(std::clamp<qint64>(elapsed, 0, std::numeric_limits<qint32>::max()));
    const TariffContext tariff = tariffContext();
    const QString& connectoid = globals_.CurrentConnectoid;

    // The sound marks the end of the minimum charge period.
    if (GetMinimumCharge(tariff, connectoid, seconds) != 0 &&
        !state_.costResult.In_Minimum_Period && !state_.minimumSoundPlayed) {
        PlaySoundEvent(QStringLiteral("AtMinimumCharge"));
        state_.minimumSoundPlayed = true;
    }
    if (GetMaximumCharge(tariff, connectoid, seconds) != 0 && state_.costResult.In_Maximum_Period &&
        !state_.maximumSoundPlayed) {
        PlaySoundEvent(QStringLiteral("AtMaximumCharge"));
        state_.maximumSoundPlayed = true;
    }
}
