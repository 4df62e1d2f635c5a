#pragma once

#include "regional.h"

#include <QString>
#include <QtGlobal>

// Money, numbers, data sizes and day masks as the user sees them, and number texts read
// back whatever decimal separator they were typed or stored with.
//
// A decimal-places setting is 0 ("Default": the system's currency places) or 1 to 5 for
// 0 to 4 places. A setting outside 0..5 counts as 0.

// Grouped, no currency symbol ("1,234.50").
QString FormatMoney(int decimalPlacesSetting, double value, const RegionalSettings& regional);
// FormatMoney with the currency symbol placed by the positive currency format.
QString FormatMoneyWithSymbol(int decimalPlacesSetting, double value,
                              const RegionalSettings& regional);
// Ungrouped when there are decimals ("1234.50"); grouped at 0 places ("1,235").
QString FormatNumberPlaces(int decimalPlacesSetting, double value,
                           const RegionalSettings& regional);
// "<n>KB", "<n>MB" or "<n>GB"; the number as FormatMoney gives it.
QString FormatDataSize(int decimalPlacesSetting, qint64 bytes, const RegionalSettings& regional);
// "M, Tu, W, Th, F, Sa, Su" for the bits set in a day mask; empty for none.
QString DaysToText(int days);

// True for a number in '.' or ',' notation that the locale's conversion also accepts.
bool IsValidNumber(const QString& text, const RegionalSettings& regional);
// Reads a number stored or typed with '.' or ',' as its decimal separator; text that is
// not a finite number gives the fallback.
double ReadFloatSetting(const QString& text, const RegionalSettings& regional,
                        double fallback = 0.0);

// The number of decimal places a decimal-places setting stands for (0..4).
int DecimalPlacesFor(int decimalPlacesSetting, const RegionalSettings& regional);
