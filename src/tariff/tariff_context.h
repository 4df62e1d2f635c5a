#pragma once

#include "core/records.h"

class DebugLog;
struct RegionalSettings;

// Everything pricing reads besides the call itself. The caller builds it from the
// program-wide tables and settings just before pricing, so that a change saved in the
// options dialog reaches the next recalculation of a running call.
struct TariffContext {
    const CostingTable& costings;
    const CostingFurtherDetailTable& furtherDetails;
    // Further detail values are number texts stored under the user's decimal separator.
    const RegionalSettings& regional;
    DebugLog& log;
    // "I do not get charged for calls to the Internet".
    bool noChargeBands = false;
};
