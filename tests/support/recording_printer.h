#pragma once

#include "platform/report_printer.h"

#include <QList>

// Keeps every report it is given and answers with the outcome set beforehand.
class RecordingPrinter final : public ReportPrinter {
public:
    Result print(const PrintReport& report) override {
        reports.append(report);
        return answer;
    }

    QList<PrintReport> reports;
    Result answer{Outcome::Printed, {}};
};
