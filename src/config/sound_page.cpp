#include "config/sound_page.h"

#include "ui_sound_page.h"

SoundPage::SoundPage(QWidget* parent)
    : OptionsPage(QStringLiteral("options#sound"), parent), ui(std::make_unique<Ui::SoundPage>()) {
    ui->setupUi(this);
    bind(ui->radioSoundEventWhenConnected, &typSettings::Sound_Event_WhenConnected);
    bind(ui->radioSoundEventWhenDisconnect, &typSettings::Sound_Event_WhenDisconnect);
    bind(ui->radioSoundEventAtMinimumCharge, &typSettings::Sound_Event_AtMinimumCharge);
    bind(ui->radioSoundEventAtMaximumCharge, &typSettings::Sound_Event_AtMaximumCharge);
    bind(ui->radioSoundEventAtAutoDisconnectStart, &typSettings::Sound_Event_AtAutoDisconnectStart);
    bind(ui->radioSoundEventNewMailNotification, &typSettings::Sound_Event_NewMailNotification);
}

SoundPage::~SoundPage() = default;
