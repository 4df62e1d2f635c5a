// Auto-disconnect: the rules that end a call by themselves after a countdown, and what
// happens after a hang-up. Each rule and operation notes itself in the call journal, so
// tests can follow the checker's sequences.

#include "monitor/tfrm_digital.h"

#include "core/clock.h"
#include "core/formatting.h"
#include "core/regional.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "monitor/tfrm_auto_disconnect.h"
#include "platform/byte_counters.h"
#include "platform/dial_up_service.h"
#include "platform/power.h"
#include "tariff/charge_bands.h"
#include "tariff/further_details.h"
#include "tariff/tariff_context.h"

#include <algorithm>
#include <limits>

namespace {
const QString ProductKey;
constexpr qint64 MillisecondsPerMinute = 60000;

// Whole seconds since the call start, as GetCallStartTime counts them.
qint32 elapsedSeconds(qint64 nowCount, qint64 callStartCount) {
    const qint64 seconds = (nowCount - callStartCount) / 1000;
    return static_cast<qint32>(std::clamp<qint64>(seconds, 0, std::numeric_limits<qint32>::max()));
}

void requestPowerOperation(Power* power, qint32 operation) {
    if (!power)
        return;
    if (operation == 1)
        power->request(Power::Operation::PowerOff);
    else if (operation == 2)
        power->request(Power::Operation::Reboot);
}
} // namespace

int TfrmDigital::IdleActivityThreshold(int interval) {
    if (interval > 2500)
        return 2;
    if (interval >= 1500)
        return 3;
    return 4;
}

void TfrmDigital::StartAutoDisconnect() {
    auto* countdown = new TfrmAutoDisconnect(*this);
    countdown->show();
}

void TfrmDigital::CheckCallLength() {
    journal(QStringLiteral("CheckCallLength"));
    const qint32 limit = s_.settings.Auto_Disconnect;
    if (limit <= 0)
        return;
    const qint64 minutes =
        (s_.clock.milliseconds() - state_.callStartCount) / MillisecondsPerMinute;
    if (minutes < limit || state_.countdownActive)
        return;
    state_.reasonText = QStringLiteral("Call has exceeded ") + QString::number(limit) +
                        QStringLiteral(" minutes in length");
    // Off until the call ends, when the value saved at connect is put back.
    s_.settings.Auto_Disconnect = 0;
    s_.store.writeInteger(ProductKey, QStringLiteral("Auto_Disconnect"), 0);
    s_.store.sync();
    StartAutoDisconnect();
}

qint32* TfrmDigital::keptCallLengthLimit() {
    // Only the length rule makes the two differ during a call: the limit is saved at every
    // connect and after the options dialog.
    const bool spent =
        state_.connected && s_.settings.Auto_Disconnect == 0 && state_.savedAutoDisconnect != 0;
    return spent ? &state_.savedAutoDisconnect : nullptr;
}

void TfrmDigital::CheckCallCost() {
    journal(QStringLiteral("CheckCallCost"));
    const double limit = s_.settings.Auto_Disconnect_Exceed_Cost;
    // A negative limit (a damaged setting) would end every call at once.
    if (!(limit > 0))
        return;
    if (!(state_.costResult.Without_Discount > limit) || state_.costNotice)
        return;
    state_.costNotice = true;
    state_.reasonText =
        QStringLiteral("Call cost has reached ") +
        FormatMoneyWithSymbol(s_.settings.Decimal_Places_Display, limit, s_.regional);
    StartAutoDisconnect();
}

void TfrmDigital::CheckIdle() {
    journal(QStringLiteral("CheckIdle"));
    const qint64 now = s_.clock.milliseconds();
    const quint64 total = s_.byteCounters.GetByteCount(u"r") + s_.byteCounters.GetByteCount(u"t");
    if (total != state_.idleByteTotal) {
        // Only traffic on several checks in a row makes the call active again, so that
        // an isolated small transfer does not restart the idle time.
        ++state_.activityCount;
        if (state_.activityCount >= IdleActivityThreshold(s_.settings.Interval_Call_Checker)) {
            state_.idleSince = now;
            state_.activityCount = 0;
        }
        state_.idleByteTotal = total;
    } else {
        state_.activityCount = 0;
    }

    const qint32 minutes = s_.settings.Auto_Idle_Disconnect;
    // A negative value (a damaged setting) would fire at every check.
    if (minutes <= 0 || state_.countdownActive)
        return;
    if (state_.idleSince + qint64(minutes) * MillisecondsPerMinute < now) {
        state_.reasonText = QStringLiteral("The call has been idle for the past ") +
                            QString::number(minutes) + QStringLiteral(" minutes");
        state_.idleSince = now;
        StartAutoDisconnect();
    }
}

void TfrmDigital::CheckDisconnectTime() {
    journal(QStringLiteral("CheckDisconnectTime"));
    const TDateTime now = s_.clock.now();
    if (!(now > s_.settings.Auto_At_Disconnect) || state_.countdownActive)
        return;
    state_.reasonText = QStringLiteral("The time is now ") +
                        datetime::dateTimeText(s_.settings.Auto_At_Disconnect, s_.regional);
    s_.settings.Auto_At_Disconnect = now + 1.0;
    s_.store.writeString(ProductKey, QStringLiteral("Auto_At_Disconnect"),
                         datetime::floatToText(s_.settings.Auto_At_Disconnect, s_.regional));
    s_.store.sync();
    StartAutoDisconnect();
}

void TfrmDigital::CheckFreeMinutes() {
    journal(QStringLiteral("CheckFreeMinutes"));
    const TariffContext tariff = tariffContext();
    const qint32 elapsed = elapsedSeconds(s_.clock.milliseconds(), state_.callStartCount);
    // A connectoid without free minutes now never has them expire.
    if (GetFreeMinutes(tariff, globals_.CurrentConnectoid, elapsed, s_.clock.now()) == 0)
        state_.freeMinutesNotice = true;
    if (s_.settings.Auto_Disconnect_Free_Minutes && state_.costResult.OutsideFreePeriod &&
        !state_.freeMinutesNotice) {
        state_.freeMinutesNotice = true;
        state_.reasonText = QStringLiteral("Free minutes have expired");
        StartAutoDisconnect();
    }
}

void TfrmDigital::CheckMinimumPeriod() {
    journal(QStringLiteral("CheckMinimumPeriod"));
    if (!s_.settings.Auto_Disconnect_Minimum_Period || state_.costResult.In_Minimum_Period ||
        state_.minimumPeriodNotice)
        return;
    const qint32 elapsed = elapsedSeconds(s_.clock.milliseconds(), state_.callStartCount);
    if (GetMinimumCharge(tariffContext(), globals_.CurrentConnectoid, elapsed) == 0)
        return;
    state_.minimumPeriodNotice = true;
    state_.reasonText = QStringLiteral("Minimum charge period has expired");
    StartAutoDisconnect();
}

void TfrmDigital::CheckConnectSpeed() {
    journal(QStringLiteral("CheckConnectSpeed"));
    const qint32 limit = s_.settings.Auto_Disconnect_Connect_Speed;
    // A service that cannot tell the speed reports 0, which is no measure of a slow line:
    // taking it as one would hang up every call.
    if (limit < 0 || !s_.dialUp.knowsConnectSpeed())
        return;
    if (qint64(state_.connectSpeed) >= qint64(limit))
        return;
    state_.reasonText = QStringLiteral("Connect speed has been detected as ") +
                        QString::number(state_.connectSpeed) + QStringLiteral(" (Minimum ") +
                        QString::number(limit) + QStringLiteral(")");
    StartAutoDisconnect();
}

void TfrmDigital::DoOperationAfterAutoDisconnecting() {
    journal(QStringLiteral("DoOperationAfterAutoDisconnecting"));
    requestPowerOperation(s_.power, s_.settings.Operation_After_Auto_Disconnecting);
}

void TfrmDigital::DoOperationAfterDisconnecting() {
    journal(QStringLiteral("DoOperationAfterDisconnecting"));
    // A one-shot choice: it acts on the next call end only.
    const qint32 operation = s_.settings.Operation_After_Disconnecting;
    s_.settings.Operation_After_Disconnecting = 0;
    s_.store.writeInteger(ProductKey, QStringLiteral("Operation_After_Disconnecting"), 0);
    s_.store.sync();
    requestPowerOperation(s_.power, operation);
}
