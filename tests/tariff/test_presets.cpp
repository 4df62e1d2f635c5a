#include "tariff/presets.h"
#include "tariff_fixture.h"

namespace {

using Presets = TariffFixture;

TEST_F(Presets, EveryItemReplacesBothListsEntirely) {
    QList<double> discounts;
    for (const TariffPreset& preset : TariffPresets()) {
        SCOPED_TRACE(preset.ObjectName.toStdString());
        for (auto& b : bands)
            b = {"Mine", 0.1, 0.2, 5, 6, 127, 9.99, 7};
        for (auto& d : details)
            d = {"Mine", FurtherDetailOption::MaximumCharge, 1, 2, "3"};
        preset.Fill(bands, details);
        // Used slots, counted anywhere and before the first free one.
        const auto used = [](const auto& t) {
            const auto n =
                std::count_if(t.begin(), t.end(), [](auto& e) { return !isFreeSlot(e); });
            return std::pair(int(n), usedCount(t));
        };
        const int bandCount = preset.Submenu.startsWith("Italy") ? 6 : 3;
        const int detailCount =
            preset.Item.startsWith("Friends") ? 3 : (preset.Item == "Discounted" ? 2 : 1);
        EXPECT_EQ(used(bands), std::pair(bandCount, bandCount));
        EXPECT_EQ(used(details), std::pair(detailCount, detailCount));
        discounts << GetDiscount(tariff(), "X", 0);
    }
    EXPECT_EQ(discounts, QList<double>({0, 10, 20, 25, 35, 0, 50}));
}

TEST_F(Presets, UnitedKingdomWeekdayCallChangesPriceAtSixInTheEvening) {
    FillPresetBTStandard(bands, details);
    const TDateTime start = tuesday(17, 59, 0), finish = tuesday(18, 1, 0);
    // Each second is priced at its own moment; one landing after 17:59:59 but before
    // 18:00:00 lies in neither band.
    int day = 0, between = 0, evening = 0;
    for (double T = start; T <= finish;) {
        T = tariff::nextSecond(T);
        const bool isDay = T <= tuesday(17, 59, 59), isEvening = T >= tuesday(18, 0, 0);
        (isDay ? day : isEvening ? evening : between)++;
        EXPECT_EQ(cost(T, "MyISP", 120), isDay ? 0.0395 / 60 : isEvening ? 0.0149 / 60 : 0.0);
    }
    EXPECT_GE(day, 58);
    EXPECT_LE(between, 1);
    EXPECT_GE(evening, 60);
    const auto r = price(start, finish);
    EXPECT_NEAR(r.Without_Discount, day * 0.0395 / 60 + evening * 0.0149 / 60, 1e-12);
    EXPECT_GE(r.Without_Discount, 0.05);
}

TEST_F(Presets, FriendsAndFamilyDiscountsTheMinimumCharge) {
    FillPresetBTFriendsAndFamily(bands, details);
    clearTable(bands);
    addAllDayBand(0.06);
    const auto r = price(tuesday(10, 0, 0), tuesday(10, 0, 29, 500)); // 30 seconds, 0.03
    EXPECT_EQ(r.Without_Discount, 0.05);
    EXPECT_NEAR(r.With_Discount, 0.045, 1e-12);
}

TEST_F(Presets, ItalyDiscountedAddsTheConnectionChargeUndiscounted) {
    FillPresetItaliaDiscounted(bands, details);
    clearTable(bands);
    addAllDayBand(60); // 1000 seconds add up to exactly 1000
    auto r = price(tuesday(10, 0, 0), plusSeconds(tuesday(10, 0, 0), 999.5));
    EXPECT_EQ(r.Without_Discount, 1153.0);
    EXPECT_EQ(r.With_Discount, 653.0);

    FillPresetItaliaDiscounted(bands, details); // its own bands: a Sunday afternoon
    const TDateTime sunday = datetime::encode(2023, 3, 19, 15, 0, 0, 400);
    r = price(sunday, plusSeconds(sunday, 599.5));
    EXPECT_NEAR(r.Without_Discount, 600 * 22.86 / 60 + 153, 1e-9);
    EXPECT_NEAR(r.With_Discount, 600 * 22.86 / 60 / 2 + 153, 1e-9);
}

} // namespace
