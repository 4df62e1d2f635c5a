#pragma once

#include <QString>
#include <QtGlobal>

struct TariffContext;

// The Option texts of costing further details, exactly as stored and shown.
namespace FurtherDetailOption {
inline const QString MinimumCharge = QStringLiteral("Minimum Charge");
inline const QString ConnectionCharge = QStringLiteral("Connection Charge");
inline const QString MaximumCharge = QStringLiteral("Maximum Charge");
inline const QString Discount = QStringLiteral("Discount (%)");
inline const QString HandshakingAdjustment = QStringLiteral("Handshaking Adjustment (seconds)");
inline const QString ApplyDiscountMinimumCharge =
    QStringLiteral("Apply Discount Percent To Minimum Charge");
inline const QString ApplyDiscountMaximumCharge =
    QStringLiteral("Apply Discount Percent To Maximum Charge");
inline const QString ApplyDiscountConnectionCharge =
    QStringLiteral("Apply Discount Percent To Connection Charge");
// The one value that turns an "Apply Discount Percent To" option on, and the one the
// editor stores for off.
inline const QString Yes = QStringLiteral("Yes");
inline const QString No = QStringLiteral("No");
} // namespace FurtherDetailOption

// Each lookup takes the first further detail, in slot order, for the connectoid (or
// "Default") whose call-length window holds Duration and whose Option is its own; that
// entry decides even when its value is unusable. Nothing found gives 0 or false.

double GetMinimumCharge(const TariffContext& tariff, const QString& DUN, qint32 Duration);
double GetConnectionCharge(const TariffContext& tariff, const QString& DUN, qint32 Duration);
double GetMaximumCharge(const TariffContext& tariff, const QString& DUN, qint32 Duration);
// A percentage.
double GetDiscount(const TariffContext& tariff, const QString& DUN, qint32 Duration);
// Seconds; the call-length window does not apply, since the call has only just begun.
double GetHandshakingAdjustment(const TariffContext& tariff, const QString& DUN);

bool GetApplyDiscountMinimumCharge(const TariffContext& tariff, const QString& DUN,
                                   qint32 Duration);
bool GetApplyDiscountMaximumCharge(const TariffContext& tariff, const QString& DUN,
                                   qint32 Duration);
bool GetApplyDiscountConnectionCharge(const TariffContext& tariff, const QString& DUN,
                                      qint32 Duration);
