#include "call_recorder.h"

#include "call_log_file.h"
#include "core/debug_log.h"
#include "core/formatting.h"
#include "core/prompts.h"
#include "core/records.h"
#include "core/settings_store.h"
#include "tariff/call_costing.h"
#include "tariff/tariff_context.h"

#include <limits>
#include <optional>

namespace {

const QString ProductKey; // the last-call values live in the settings key itself

constexpr double MaximumCallDays = 5.0;
// The range a date-time can stand for (years 1 to 9999); anything else is no moment.
constexpr double EarliestDateTime = -693593.0;
constexpr double LatestDateTime = 2958466.0;
constexpr qint64 Unsigned32Max = std::numeric_limits<quint32>::max();

QString booleanText(bool value) {
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

std::optional<TDateTime> parseDateTime(const QString& text, const RegionalSettings& regional) {
    if (!IsValidNumber(text, regional))
        return std::nullopt;
    const double value = ReadFloatSetting(text, regional, qQNaN());
    if (!(value >= EarliestDateTime && value < LatestDateTime))
        return std::nullopt;
    return value;
}

// Data beyond what the record's 32 bits hold is kept as the most they hold, rather than
// wrapping round to a small figure.
quint32 toUnsigned32(qint64 value) {
    return static_cast<quint32>(qBound<qint64>(0, value, Unsigned32Max));
}

} // namespace

QString callLostMessage(const QString& startText, const QString& finishText) {
    const QString gap = QStringLiteral("\n\r\n\r");
    return QStringLiteral("Due to a problem the last session has not been saved to the log.") +
           gap +
           QStringLiteral("VORN has attempted to recover these costs but it has been "
                          "unsuccessful since the time interval between the two values is "
                          "too large.") +
           gap + QStringLiteral("Details of log entry lost :-") + gap + startText +
           QStringLiteral(" -> ") + finishText;
}

void ProcessLogEntry(const CallRecordingContext& context, const QString& fileName, bool Recovered,
                     bool AutoDisconnected, quint32 connectSpeed, QString ConnectoidName,
                     QString userName) {
    SettingsStore& store = context.store;
    DebugLog& log = context.tariff.log;
    const RegionalSettings& regional = context.tariff.regional;
    const auto trace = [&](const QString& text) {
        log.trace([&] { return QStringLiteral("ProcessLogEntry - ") + text; });
    };

    trace(QStringLiteral("Start of ProcessLogEntry"));
    trace(QStringLiteral("Filename = ") + fileName);
    trace(QStringLiteral("Connect Speed = ") + QString::number(connectSpeed));
    trace(QStringLiteral("ConnectoidName = ") + ConnectoidName);
    trace(QStringLiteral("Recovered = ") + booleanText(Recovered));
    trace(QStringLiteral("AutoDisconnected = ") + booleanText(AutoDisconnected));

    if (ConnectoidName.isEmpty())
        ConnectoidName = UnknownConnectoid;
    trace(QStringLiteral("Corrected ConnectoidName = ") + ConnectoidName);

    const QString startText = store.readString(ProductKey, lastcall::Start, QString());
    const QString finishText = store.readString(ProductKey, lastcall::Finish, QString());
    const QString dataText =
        store.readString(ProductKey, lastcall::DataTransfer, QStringLiteral("0"));
    const std::optional<qint64> dataTransferred = parseInteger(
        dataText, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max());
    if (!dataTransferred || *dataTransferred < 0 || *dataTransferred > Unsigned32Max)
        trace(QStringLiteral("Data transfer out of range = ") + dataText);

    if (Recovered) {
        userName = store.readString(ProductKey, lastcall::UserName, QStringLiteral("Default"));
        ConnectoidName = store.readString(ProductKey, lastcall::ConnectoidName, UnknownConnectoid);
        connectSpeed = toUnsigned32(store.readInteger64(ProductKey, lastcall::ConnectSpeed, 0));
    }

    if (!startText.isEmpty() && !finishText.isEmpty()) {
        const std::optional<TDateTime> start = parseDateTime(startText, regional);
        const std::optional<TDateTime> finish = parseDateTime(finishText, regional);
        if (!start || !finish) {
            // Only a damaged settings file gets here; asking the user would not help.
            trace(QStringLiteral("Last call values not understood = ") + startText +
                  QStringLiteral(" -> ") + finishText);
        } else if (*start > *finish || *finish - *start > MaximumCallDays) {
            context.prompts.error(callLostMessage(startText, finishText));
        } else {
            typCallCostInformation cost;
            CalculateCost(context.tariff, ConnectoidName, cost, *start, *finish);

            typCallLogInformation record;
            record.Start = *start;
            record.Finish = *finish;
            record.Cost_Inc = cost.With_Discount;
            record.Cost_Exc = cost.Without_Discount;
            record.Mode =
                Recovered ? ModeRecovered : (AutoDisconnected ? ModeDisconnected : ModeAuto);
            record.Data = toUnsigned32(dataTransferred.value_or(0));
            record.Connect_Speed = connectSpeed;
            record.Connectoid_Name = ConnectoidName.left(calllog::ConnectoidNameLength);
            record.User_Name = userName.left(calllog::UserNameLength);
            record.Deleted = 0;
            // On the disk before the values that would recover it are deleted.
            AppendLogEntry(fileName, record, true);
        }
    }

    for (const QString& name :
         {lastcall::Start, lastcall::Finish, lastcall::DataTransfer, lastcall::ConnectoidName,
          lastcall::UserName, lastcall::ConnectSpeed})
        store.removeValue(ProductKey, name);
    store.sync();

    trace(QStringLiteral("Finish of ProcessLogEntry"));
}
