#include "tariff/call_costing.h"
#include "tariff/further_details.h"
#include "tariff/presets.h"
#include "tariff_fixture.h"

namespace {

namespace Opt = FurtherDetailOption;

class Presets : public TariffFixture {
protected:
    // Lists full of the user's own entries, which a preset must replace entirely.
    void fillWithUserEntries() {
        for (int i = 1; i <= CostingTable::Capacity; ++i)
            bands[i] = {"Mine", 0.1, 0.2, 5, 6, 127, 9.99, 7};
        for (int i = 1; i <= CostingFurtherDetailTable::Capacity; ++i)
            details[i] = {"Mine", Opt::MaximumCharge, 1, 2, "3"};
    }
    void expectBand(int slot, qint32 days, double start, double finish, double charge) {
        SCOPED_TRACE(slot);
        const typCostingInformation& b = bands[slot];
        EXPECT_EQ(b.Connectoid_Name, "Default");
        EXPECT_EQ(b.Days, days);
        EXPECT_EQ(b.StartTime, start);
        EXPECT_EQ(b.FinishTime, finish);
        EXPECT_EQ(b.ChargePerMin, charge);
        EXPECT_EQ(b.Length_Start, 0);
        EXPECT_EQ(b.Length_Finish, 0);
        EXPECT_EQ(b.FreeMinutes, 0);
    }
    QStringList detailTexts() const {
        QStringList out;
        for (int i = 1; i <= usedCount(details); ++i) {
            const auto& d = details[i];
            EXPECT_EQ(d.Connectoid_Name, "Default");
            EXPECT_EQ(d.Length_Start, 0);
            EXPECT_EQ(d.Length_Finish, 0);
            out << d.Option + " = " + d.Value;
        }
        return out;
    }
    const TariffPreset& preset(const QString& objectName) {
        for (const TariffPreset& p : TariffPresets()) {
            if (p.ObjectName == objectName)
                return p;
        }
        ADD_FAILURE() << "no preset " << objectName.toStdString();
        return TariffPresets().front();
    }
    typCallCostInformation price(TDateTime start, TDateTime finish) {
        typCallCostInformation r;
        CalculateCost(tariff(), "MyISP", r, start, finish);
        return r;
    }
};

TEST_F(Presets, MenuOrderAndTexts) {
    QStringList menu;
    for (const TariffPreset& p : TariffPresets())
        menu << p.Submenu + " / " + p.Item + " / " + p.ObjectName;
    EXPECT_EQ(menu,
              QStringList({
                  "United Kingdom - BT (local) / Standard / mnuStandard",
                  "United Kingdom - BT (local) / Friends and Family / mnuFF",
                  "United Kingdom - BT (local) / Friends and Family with Best Friend / mnuFFBF",
                  "United Kingdom - BT (local) / Friends and Family and Premierline / mnuFFPrem",
                  "United Kingdom - BT (local) / Friends and Family with Best Friend and "
                  "Premierline / mnuFFBFPrem",
                  "Italy - Telecom Italia (local) / Standard / mnuItaliaStandard",
                  "Italy - Telecom Italia (local) / Discounted / mnuItaliaDiscounted",
              }));
    EXPECT_EQ(PresetConfirmationText, "This operation will remove all your existing time bands "
                                      "and further details.\n\r\n\rAre you sure?");
}

TEST_F(Presets, UnitedKingdomBandsAndEachItemsDetails) {
    const std::pair<const char*, const char*> items[] = {
        {"mnuFF", "10"}, {"mnuFFBF", "20"}, {"mnuFFPrem", "25"}, {"mnuFFBFPrem", "35"}};
    for (auto [name, discount] : items) {
        SCOPED_TRACE(name);
        fillWithUserEntries();
        preset(name).Fill(bands, details);
        ASSERT_EQ(usedCount(bands), 3);
        expectBand(1, 65, TimeOfDay(0, 0, 0), TimeOfDay(23, 59, 59), 0.01);
        expectBand(2, 62, TimeOfDay(8, 0, 0), TimeOfDay(17, 59, 59), 0.0395);
        expectBand(3, 62, TimeOfDay(18, 0, 0), TimeOfDay(7, 59, 59), 0.0149);
        for (int i = 4; i <= CostingTable::Capacity; ++i)
            EXPECT_TRUE(isFreeSlot(bands[i])) << i;
        EXPECT_EQ(detailTexts(), QStringList({"Minimum Charge = 0.05",
                                              "Apply Discount Percent To Minimum Charge = Yes",
                                              QString("Discount (%) = ") + discount}));
        for (int i = 4; i <= CostingFurtherDetailTable::Capacity; ++i)
            EXPECT_TRUE(isFreeSlot(details[i])) << i;
    }
    fillWithUserEntries();
    preset("mnuStandard").Fill(bands, details);
    EXPECT_EQ(usedCount(bands), 3);
    EXPECT_EQ(detailTexts(), QStringList({"Minimum Charge = 0.05"}));
}

TEST_F(Presets, ItalyBandsAndDetails) {
    fillWithUserEntries();
    preset("mnuItaliaStandard").Fill(bands, details);
    ASSERT_EQ(usedCount(bands), 6);
    expectBand(1, 62, TimeOfDay(8, 0, 0), TimeOfDay(18, 29, 59), 41.5636);
    expectBand(2, 62, TimeOfDay(18, 30, 0), TimeOfDay(7, 59, 59), 22.86);
    expectBand(3, 64, TimeOfDay(0, 0, 0), TimeOfDay(7, 59, 59), 22.86);
    expectBand(4, 64, TimeOfDay(8, 0, 0), TimeOfDay(12, 59, 59), 41.5636);
    expectBand(5, 64, TimeOfDay(13, 0, 0), TimeOfDay(23, 59, 59), 22.86);
    expectBand(6, 1, TimeOfDay(0, 0, 0), TimeOfDay(23, 59, 59), 22.86);
    EXPECT_EQ(detailTexts(), QStringList({"Connection Charge = 153"}));

    fillWithUserEntries();
    preset("mnuItaliaDiscounted").Fill(bands, details);
    EXPECT_EQ(usedCount(bands), 6);
    EXPECT_EQ(detailTexts(), QStringList({"Connection Charge = 153", "Discount (%) = 50"}));
}

TEST_F(Presets, UnitedKingdomWeekdayCallChangesPriceAtSixInTheEvening) {
    FillPresetBTStandard(bands, details);
    const TDateTime start = tuesday(17, 59, 0);
    const TDateTime finish = tuesday(18, 1, 0);
    // Each second is priced at its own moment; one landing after 17:59:59 but before
    // 18:00:00 lies in neither band.
    int day = 0, between = 0, evening = 0;
    for (double T = start; T <= finish;) {
        T = tariff::nextSecond(T);
        const double cost = CostOfThisSecond(tariff(), "MyISP", 120, T);
        if (T <= tuesday(17, 59, 59)) {
            ++day;
            EXPECT_EQ(cost, 0.0395 / 60);
        } else if (T < tuesday(18, 0, 0)) {
            ++between;
            EXPECT_EQ(cost, 0.0);
        } else {
            ++evening;
            EXPECT_EQ(cost, 0.0149 / 60);
        }
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
    const TDateTime start = tuesday(10, 0, 0);
    const auto r = price(start, plusSeconds(start, 29.5)); // 30 seconds, 0.03
    EXPECT_EQ(r.Without_Discount, 0.05);
    EXPECT_NEAR(r.With_Discount, 0.045, 1e-12);
    EXPECT_TRUE(r.In_Minimum_Period);
}

TEST_F(Presets, ItalyDiscountedAddsTheConnectionChargeUndiscounted) {
    FillPresetItaliaDiscounted(bands, details);
    clearTable(bands);
    addAllDayBand(60); // one a second, so 1000 seconds add up to exactly 1000
    const TDateTime start = tuesday(10, 0, 0);
    const auto r = price(start, plusSeconds(start, 999.5));
    EXPECT_EQ(r.Without_Discount, 1153.0);
    EXPECT_EQ(r.With_Discount, 653.0);

    // On its own bands: ten minutes of a Sunday afternoon.
    FillPresetItaliaDiscounted(bands, details);
    const TDateTime sunday = datetime::encode(2023, 3, 19, 15, 0, 0, 400);
    const auto s = price(sunday, plusSeconds(sunday, 599.5));
    EXPECT_NEAR(s.Without_Discount, 600 * 22.86 / 60 + 153, 1e-9);
    EXPECT_NEAR(s.With_Discount, 600 * 22.86 / 60 / 2 + 153, 1e-9);
}

} // namespace
