#pragma once

#include "core/datetime.h"
#include "core/debug_log.h"
#include "core/regional.h"
#include "manual_clock.h"
#include "tariff/call_costing.h"
#include "tariff/charge_bands.h"
#include "tariff/further_details.h"
#include "tariff/tariff_context.h"

#include <QMap>
#include <QStringList>
#include <gtest/gtest.h>

// Tables, settings and a trace for pricing, with short ways to fill them.
class TariffFixture : public ::testing::Test {
protected:
    static constexpr qint32 EveryDay = 127, MondayToFriday = 62;

    void SetUp() override {
        clearTable(bands);
        clearTable(details);
    }
    TariffContext tariff() { return {bands, details, regional, log, noChargeBands}; }

    typCostingInformation& addBand(const QString& name, qint32 days, double start, double finish,
                                   double chargePerMin, qint32 freeMinutes = 0) {
        typCostingInformation& b = bands[findFreeSlot(bands)];
        b = {name, start, finish, 0, 0, days, chargePerMin, freeMinutes};
        return b;
    }
    // A band for every connectoid, every day, all day.
    typCostingInformation& addAllDayBand(double chargePerMin, qint32 freeMinutes = 0) {
        return addBand(DefaultConnectoid, EveryDay, 0, tariff::LastSecondOfDay, chargePerMin,
                       freeMinutes);
    }
    void addDetail(const QString& name, const QString& option, const QString& value,
                   qint32 lengthStart = 0, qint32 lengthFinish = 0) {
        details[findFreeSlot(details)] = {name, option, lengthStart, lengthFinish, value};
    }
    // Further details for every connectoid from words such as "Min=0.05
    // ApplyMin=Yes".
    void addDetails(const QString& words) {
        namespace O = FurtherDetailOption;
        static const QMap<QString, QString> options{
            {"Min", O::MinimumCharge},
            {"Conn", O::ConnectionCharge},
            {"Max", O::MaximumCharge},
            {"Disc", O::Discount},
            {"Hand", O::HandshakingAdjustment},
            {"ApplyMin", O::ApplyDiscountMinimumCharge},
            {"ApplyMax", O::ApplyDiscountMaximumCharge},
            {"ApplyConn", O::ApplyDiscountConnectionCharge}};
        for (const QString& word : words.split(u' ', Qt::SkipEmptyParts))
            addDetail(DefaultConnectoid, options.value(word.section(u'=', 0, 0), "?"),
                      word.section(u'=', 1));
    }

    double cost(TDateTime at, const QString& dun = "MyISP", qint32 duration = 0) {
        return CostOfThisSecond(tariff(), dun, duration, at);
    }
    typCallCostInformation price(TDateTime start, TDateTime finish) {
        typCallCostInformation r{-7, -7, true, true, true}; // nothing stale may survive
        CalculateCost(tariff(), "MyISP", r, start, finish);
        return r;
    }
    // Tuesday 14 March 2023 at the given time.
    static TDateTime tuesday(int h, int m, int s, int ms = 0) {
        return datetime::encode(2023, 3, 14, h, m, s, ms);
    }
    static TDateTime plusSeconds(TDateTime t, double seconds) { return t + seconds / 86400.0; }

    // The trace without the millisecond counter in front of each line.
    QStringList traceTexts() const {
        QStringList out;
        for (const QString& line : log.lines())
            out << line.section(QStringLiteral(" -> "), 1);
        return out;
    }

    CostingTable bands;
    CostingFurtherDetailTable details;
    RegionalSettings regional = RegionalSettings::english();
    ManualClock clock;
    DebugLog log{clock};
    bool noChargeBands = false;
};
