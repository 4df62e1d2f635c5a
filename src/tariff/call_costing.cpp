#include "call_costing.h"

#include "band_lookup.h"
#include "charge_bands.h"
#include "core/debug_log.h"
#include "core/regional.h"
#include "further_details.h"
#include "second_stepper.h"
#include "tariff_context.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// CostOfThisSecond traces six lines per second. The trace keeps only its newest lines, so
// when tracing, only the last seconds of a call can leave lines behind.
constexpr qint64 TracedSeconds = (DebugLog::MaxLines + 5) / 6;

QString yesNo(bool value) {
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

QString timeText(TDateTime moment, const RegionalSettings& regional) {
    if (!(std::abs(moment) < tariff::LatestMoment))
        return datetime::floatToText(moment, regional);
    return datetime::dateTimeText(moment, regional);
}

qint64 secondsToPrice(double from, double finish) {
    SecondStepper steps;
    qint64 n = 0;
    for (double t = from; t <= finish; t = steps.next(t))
        ++n;
    return n;
}

} // namespace

void CalculateCost(const TariffContext& tariff, const QString& DialUpName,
                   typCallCostInformation& Result, TDateTime StartTime, TDateTime FinishTime) {
    DebugLog& log = tariff.log;
    const RegionalSettings& regional = tariff.regional;
    Result = {};

    // A span whose length in seconds is no 32-bit number is no call (a start or finish that
    // is garbage or unset): it is left unpriced rather than stepped through second by second.
    const long double seconds =
        (static_cast<long double>(FinishTime) - static_cast<long double>(StartTime)) / OneSecond;
    const bool priceable =
        std::isfinite(seconds) && seconds > -2147483649.0L && seconds < 2147483648.0L;
    const qint32 Duration = priceable ? static_cast<qint32>(seconds) : 0;

    log.trace([] { return QStringLiteral("CalculateCost - Start CalculateCost"); });
    log.trace([&] {
        return QStringLiteral("CalculateCost - Start Time = ") + timeText(StartTime, regional);
    });
    log.trace([&] {
        return QStringLiteral("CalculateCost - Finish Time = ") + timeText(FinishTime, regional);
    });
    log.trace([&] { return QStringLiteral("CalculateCost - Dial Up Name = ") + DialUpName; });
    log.trace(
        [&] { return QStringLiteral("CalculateCost - Duration = ") + QString::number(Duration); });

    const auto discountFactor = [&] { return 1 - GetDiscount(tariff, DialUpName, Duration) / 100; };

    if (tariff.noChargeBands) {
        log.trace([] {
            return QStringLiteral("CalculateCost - I do not get charged for calls to the Internet");
        });
        Result.In_Minimum_Period = true;
    } else if (!priceable) {
        log.trace(
            [] { return QStringLiteral("CalculateCost - Start or finish time out of range"); });
    } else {
        // Negative free minutes would price time before the call began.
        const qint32 freeMinutes =
            std::max(GetFreeMinutes(tariff, DialUpName, Duration, StartTime), 0);
        double T = static_cast<double>(StartTime + freeMinutes * OneMinute);

        if (T == FinishTime) {
            const double minimum = GetMinimumCharge(tariff, DialUpName, Duration);
            Result.Without_Discount = minimum;
            Result.With_Discount = GetApplyDiscountMinimumCharge(tariff, DialUpName, Duration)
                                       ? minimum * discountFactor()
                                       : minimum;
            Result.In_Minimum_Period = true;
            Result.OutsideFreePeriod = false;
        } else {
            // Every second is priced at its own moment, from one second after the free
            // period to the first moment past the finish: a started second costs in full.
            double sum = 0;
            if (T <= FinishTime) {
                Result.OutsideFreePeriod = true;
                BandLookup bands(tariff.costings, DialUpName, Duration);
                SecondStepper steps;
                qint64 untraced = std::numeric_limits<qint64>::max();
                if (log.enabled())
                    untraced = std::max<qint64>(0, secondsToPrice(T, FinishTime) - TracedSeconds);
                for (qint64 i = 0; i < untraced && T <= FinishTime; ++i) {
                    T = steps.next(T);
                    sum = sum + bands.costOfSecond(T);
                }
                while (T <= FinishTime) {
                    T = tariff::nextSecond(T);
                    sum = sum + CostOfThisSecond(tariff, DialUpName, Duration, T);
                }
            }
            Result.Without_Discount = sum;
            Result.With_Discount = sum * discountFactor();

            const double minimum = GetMinimumCharge(tariff, DialUpName, Duration);
            Result.In_Minimum_Period = minimum > Result.Without_Discount;
            if (Result.In_Minimum_Period && Result.OutsideFreePeriod) {
                Result.Without_Discount = minimum;
                Result.With_Discount = minimum * discountFactor();
            }
            // An undiscounted minimum charge is not discounted below itself. A call still in
            // its free minutes owes no minimum, so it is not raised to one either.
            if (Result.OutsideFreePeriod &&
                !GetApplyDiscountMinimumCharge(tariff, DialUpName, Duration) &&
                minimum > Result.With_Discount)
                Result.With_Discount = minimum;
        }

        const double connection = GetConnectionCharge(tariff, DialUpName, Duration);
        const double addedConnection =
            GetApplyDiscountConnectionCharge(tariff, DialUpName, Duration)
                ? connection * discountFactor()
                : connection;
        Result.Without_Discount += addedConnection;
        Result.With_Discount += addedConnection;

        const double maximum = GetMaximumCharge(tariff, DialUpName, Duration);
        if (maximum > 0 && maximum < Result.Without_Discount) {
            Result.In_Maximum_Period = true;
            Result.Without_Discount = maximum;
            Result.With_Discount = GetApplyDiscountMaximumCharge(tariff, DialUpName, Duration)
                                       ? maximum * discountFactor()
                                       : maximum;
        }
    }

    log.trace([&] {
        return QStringLiteral("CalculateCost - Result.With_Discount = ") +
               datetime::floatToText(Result.With_Discount, regional);
    });
    log.trace([&] {
        return QStringLiteral("CalculateCost - Result.Without_Discount = ") +
               datetime::floatToText(Result.Without_Discount, regional);
    });
    log.trace([&] {
        return QStringLiteral("CalculateCost - Result.OutsideFreePeriod = ") +
               yesNo(Result.OutsideFreePeriod);
    });
    log.trace([&] {
        return QStringLiteral("CalculateCost - Result.In_Minimum_Period = ") +
               yesNo(Result.In_Minimum_Period);
    });
    log.trace([&] {
        return QStringLiteral("CalculateCost - Result.In_Maximum_Period = ") +
               yesNo(Result.In_Maximum_Period);
    });
    log.trace([] { return QStringLiteral("CalculateCost - Finish CalculateCost"); });
}
