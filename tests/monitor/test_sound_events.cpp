#include "tray_fixture.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {
// Each request as text: "tones:<count>:<first Hz>" or the wave's path.
QStringList played(const RecordingSound& sound) {
    QStringList out;
    for (const RecordingSound::Request& r : sound.requests)
        out << (r.tones.isEmpty()
                    ? r.wave
                    : QString("tones:%1:%2").arg(r.tones.size()).arg(r.tones.first().frequency));
    return out;
}
} // namespace

TEST(SoundEvents, TheSettingChoosesTonesWaveOrBothInThatOrder) {
    TrayFixture f;
    TfrmDigital& w = f.start();
    const QString own = QDir(f.home.path()).filePath("whenconnected.wav");
    QFile(own).open(QIODevice::WriteOnly);
    const QStringList expected[] = {{}, {"tones:3:1047"}, {own}, {"tones:3:1047", own}, {}, {}};
    const int settings[] = {0, 1, 2, 3, 4, -1};
    for (int i = 0; i < 6; ++i) {
        f.sound.requests.clear();
        f.settings.Sound_Event_WhenConnected = settings[i];
        w.PlaySoundEvent("WhenConnected");
        EXPECT_EQ(played(f.sound), expected[i]) << settings[i];
    }
    f.settings.Sound_Event_WhenConnected = 1;
    w.PlaySoundEvent("WhenConnected");
    ASSERT_EQ(f.sound.requests.size(), 1);
    EXPECT_EQ(f.sound.requests[0].tones, (QList<Tone>{{1047, 100}, {1109, 100}, {1175, 100}}));

    f.sound.requests.clear();
    w.PlaySoundEvent("whenconnected");
    EXPECT_TRUE(f.sound.requests.isEmpty()) << "event names are exact";

    // Each event has its own setting, sequence and wave; five-fold sequences repeat.
    f.settings.Sound_Event_WhenConnected = 0;
    f.settings.Sound_Event_NewMailNotification = 1;
    f.settings.Sound_Event_AtAutoDisconnectStart = 2;
    w.PlaySoundEvent("NewMailNotification");
    w.PlaySoundEvent("AtAutoDisconnectStart");
    w.PlaySoundEvent("WhenDisconnect");
    ASSERT_EQ(played(f.sound).size(), 2);
    EXPECT_EQ(f.sound.requests[0].tones.mid(12), (QList<Tone>{{2250, 50}, {1800, 75}, {2500, 50}}));
    EXPECT_EQ(f.sound.requests[0].tones.size(), 15);
    // A wave that is nowhere is still asked for where it belongs.
    EXPECT_EQ(f.sound.requests[1].wave, QDir(f.home.path()).filePath("atautodisconnectstart.wav"));
}

TEST(SoundEvents, ChargeSoundsPlayOncePerCallAtTheEndOfTheMinimumAndInTheMaximum) {
    TrayFixture f;
    const QString detail = "Costing_Further_Details";
    f.set("Number_Of_Costing_Further_Details", "2");
    f.set("Connectoid_Name", "Default", detail + u'1')
        .set("Option", "Minimum Charge", detail + u'1');
    f.set("Value", "0.5", detail + u'1').set("Connectoid_Name", "Default", detail + u'2');
    f.set("Option", "Maximum Charge", detail + u'2').set("Value", "5", detail + u'2');
    f.set("Sound_Event_AtMinimumCharge", "1").set("Sound_Event_AtMaximumCharge", "1");
    TfrmDigital& w = f.start();
    f.callUp();
    typCallCostInformation& cost = w.state().costResult;

    cost.In_Minimum_Period = true;
    w.CheckChargeSounds();
    EXPECT_TRUE(f.sound.requests.isEmpty());
    cost.In_Minimum_Period = false;
    w.CheckChargeSounds();
    cost.In_Maximum_Period = true;
    w.CheckChargeSounds();
    w.CheckChargeSounds();
    EXPECT_EQ(played(f.sound), (QStringList{"tones:15:2093", "tones:10:2200"}));

    // Without the limits there is nothing to mark.
    f.store.setValue({}, "Number_Of_Costing_Further_Details", "0");
    w.LoadProgramSettings();
    f.callDown();
    f.sound.requests.clear();
    f.callUp();
    cost.In_Minimum_Period = false;
    cost.In_Maximum_Period = true;
    w.CheckChargeSounds();
    EXPECT_TRUE(f.sound.requests.isEmpty());
}
