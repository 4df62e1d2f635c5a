#include "monitor/display_texts.h"

#include "core/formatting.h"
#include "core/regional.h"
#include "core/settings.h"
#include "tariff/call_costing.h"
#include "widgets/dot_font.h"

#include <algorithm>
#include <cmath>

namespace display {

EnabledModes enabledModes(const typSettings& settings) {
    return {settings.Show_Time,
            settings.Show_Cost,
            settings.Show_CostPerMinute,
            settings.Show_DTR,
            settings.Show_Data_Transferred,
            settings.Show_Connect_Speed};
}

quint8 firstMode(const EnabledModes& enabled) {
    for (int mode = 0; mode < ModeCount; ++mode) {
        if (enabled[mode])
            return static_cast<quint8>(mode);
    }
    return ModeTime;
}

quint8 nextMode(quint8 mode, const EnabledModes& enabled) {
    int next = mode;
    for (int step = 0; step < ModeCount; ++step) {
        next = next >= ModeCount - 1 ? 0 : next + 1;
        if (enabled[next])
            return static_cast<quint8>(next);
    }
    return ModeTime;
}

QColor ledColour(qint32 setting) {
    return QColor(setting & 0xFF, (setting >> 8) & 0xFF, (setting >> 16) & 0xFF);
}

QString centred(const QString& text, int characters) {
    const qsizetype pad = (characters - text.size()) / 2;
    return pad > 0 ? QString(pad, u' ') + text : text;
}

QString durationText(qint64 elapsedSeconds, QChar timeSeparator) {
    const qint64 ofDay = elapsedSeconds > 0 ? elapsedSeconds % 86400 : 0;
    const auto two = [](qint64 n) { return QString::number(n).rightJustified(2, u'0'); };
    return two(ofDay / 3600) + timeSeparator + two(ofDay / 60 % 60) + timeSeparator +
           two(ofDay % 60);
}

RegionalSettings ledRegional(const RegionalSettings& regional) {
    RegionalSettings led = regional;
    const QString plain = regional.currencySymbol.normalized(QString::NormalizationForm_KC);
    const QList<uint> characters = plain.toUcs4();
    const bool drawable = std::all_of(characters.begin(), characters.end(),
                                      [](uint c) { return dos5x7ShowsAsWritten(c); });
    led.currencySymbol =
        drawable || regional.currencyIsoCode.isEmpty() ? plain : regional.currencyIsoCode;
    if (!dos5x7ShowsAsWritten(regional.thousandSeparator.unicode()))
        led.thousandSeparator = u' ';
    return led;
}

LedText costText(const typCallCostInformation& cost, const typSettings& settings,
                 const RegionalSettings& regional) {
    const double value =
        settings.Show_Cost_Including_Discount ? cost.With_Discount : cost.Without_Discount;
    const auto money = [&](double amount) {
        return FormatMoneyWithSymbol(settings.Decimal_Places_Display, amount, regional);
    };
    const bool markMinimum = cost.In_Minimum_Period && settings.Indicate_Minimum_Charge;
    const bool markMaximum = cost.In_Maximum_Period && settings.Indicate_Maximum_Charge;

    LedText out;
    if (cost.In_Maximum_Period) {
        out.text = money(value);
        if (settings.Indicate_Maximum_Charge)
            out.text = u'^' + out.text + u'^';
    } else if (!cost.OutsideFreePeriod) {
        // Still within the free minutes: nothing is owed yet, whatever a connection charge
        // will add later.
        out.text = money(0);
    } else {
        out.text = money(value);
        if (markMinimum)
            out.text = u'*' + out.text + u'*';
    }
    // The colour does not look at the free period.
    if (markMinimum)
        out.colour = settings.Color_LED_Minimum;
    else if (markMaximum)
        out.colour = settings.Color_LED_Maximum;
    else
        out.colour = settings.Color_LED_Costs;
    return out;
}

QString dtrText(double current, double previous, int decimalPlacesSetting,
                const RegionalSettings& regional) {
    // A call's first rate has no previous one: it is compared with 1.0 KB/s.
    const double base = previous == 0 ? 1.0 : previous;
    QChar sign = u'=';
    double change = 0;
    if (previous == current) {
        change = 0;
    } else if (current > previous) {
        change = (current / base - 1) * 100;
        sign = u'+';
    } else {
        change = (1 - current / base) * 100;
        sign = u'-';
    }
    if (!(change > 5.0))
        sign = u'=';
    return sign + FormatMoney(decimalPlacesSetting, current, regional) + QStringLiteral("K/s");
}

double transferRate(quint64 bytes, qint64 intervalMs) {
    if (intervalMs <= 0)
        return 0;
    return static_cast<double>(bytes) / 1024.0 / (static_cast<double>(intervalMs) / 1000.0);
}

char16_t lightsGlyph(bool transmitted, bool received) {
    if (transmitted && received)
        return LightsBoth;
    if (transmitted)
        return LightsTransmitting;
    if (received)
        return LightsReceiving;
    return LightsIdle;
}

QPoint cornerTarget(Corner corner, const QRect& workArea, const QSize& window) {
    const int left = workArea.x();
    const int top = workArea.y();
    const int right = workArea.x() + workArea.width() - window.width();
    const int bottom = workArea.y() + workArea.height() - window.height();
    switch (corner) {
    case Corner::TopLeft:
        return {left, top};
    case Corner::TopRight:
        return {right, top};
    case Corner::BottomLeft:
        return {left, bottom};
    case Corner::BottomRight:
        return {right, bottom};
    }
    return {left, top};
}

Corner farthestCorner(const QPoint& home, const QRect& workArea, const QSize& window) {
    Corner best = Corner::TopLeft;
    double bestDistance = -1;
    for (Corner corner :
         {Corner::TopLeft, Corner::TopRight, Corner::BottomLeft, Corner::BottomRight}) {
        const QPoint target = cornerTarget(corner, workArea, window);
        const double distance =
            std::hypot(double(home.x()) - target.x(), double(home.y()) - target.y());
        if (distance > bestDistance) {
            best = corner;
            bestDistance = distance;
        }
    }
    return best;
}

bool isCursorNear(const QPoint& cursor, const QRect& workArea, const QPoint& topLeft,
                  const QSize& window) {
    const qint64 x = cursor.x();
    const qint64 y = cursor.y();
    const qint64 left = topLeft.x();
    const qint64 top = topLeft.y();
    return qint64(workArea.x()) <= x && x <= qint64(workArea.x()) + workArea.width() &&
           left - 20 < x && x < left + window.width() + 20 && top - 15 < y &&
           y < top + window.height() + 15;
}

} // namespace display
