#pragma once

#include "core/datetime.h"
#include "core/debug_log.h"
#include "core/records.h"
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
    static constexpr qint32 EveryDay = 127;
    static constexpr qint32 MondayToFriday = 62;
    static constexpr qint32 Monday = 2;

    void SetUp() override {
        clearTable(bands);
        clearTable(details);
    }

    TariffContext tariff() { return {bands, details, regional, log, noChargeBands}; }

    typCostingInformation& addBand(const QString& name, qint32 days, double start, double finish,
                                   double chargePerMin, qint32 freeMinutes = 0,
                                   qint32 lengthStart = 0, qint32 lengthFinish = 0) {
        const int slot = findFreeSlot(bands);
        EXPECT_NE(slot, 0);
        typCostingInformation& b = bands[slot];
        b = {name, start, finish, lengthStart, lengthFinish, days, chargePerMin, freeMinutes};
        return b;
    }
    // A band for every connectoid, every day, all day.
    typCostingInformation& addAllDayBand(double chargePerMin, qint32 freeMinutes = 0) {
        return addBand(DefaultConnectoid, EveryDay, TimeOfDay(0, 0, 0), TimeOfDay(23, 59, 59),
                       chargePerMin, freeMinutes);
    }

    void addDetail(const QString& name, const QString& option, const QString& value,
                   qint32 lengthStart = 0, qint32 lengthFinish = 0) {
        const int slot = findFreeSlot(details);
        ASSERT_NE(slot, 0);
        details[slot] = {name, option, lengthStart, lengthFinish, value};
    }
    // Further details for every connectoid from words such as "Min=0.05 ApplyMin=Yes".
    void addDetails(const QString& words) {
        static const QMap<QString, QString> options{
            {"Min", FurtherDetailOption::MinimumCharge},
            {"Conn", FurtherDetailOption::ConnectionCharge},
            {"Max", FurtherDetailOption::MaximumCharge},
            {"Disc", FurtherDetailOption::Discount},
            {"ApplyMin", FurtherDetailOption::ApplyDiscountMinimumCharge},
            {"ApplyMax", FurtherDetailOption::ApplyDiscountMaximumCharge},
            {"ApplyConn", FurtherDetailOption::ApplyDiscountConnectionCharge}};
        for (const QString& word : words.split(u' ', Qt::SkipEmptyParts)) {
            ASSERT_TRUE(options.contains(word.section(u'=', 0, 0))) << word.toStdString();
            addDetail(DefaultConnectoid, options[word.section(u'=', 0, 0)], word.section(u'=', 1));
        }
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
