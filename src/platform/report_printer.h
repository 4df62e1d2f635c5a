#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// A printed report: lines of fixed-pitch text, the first holding the column titles.
struct PrintReport {
    QString title; // the print job's name and the proposed PDF name
    QString fontFamily = QStringLiteral("Courier New");
    int pointSize = 10;
    QStringList lines;
    // Why a chosen PDF file must not be written (it is the call log, say), or empty.
    std::function<QString(const QString& path)> refuseFile;
};

// Prints reports as documents: on a printer the user picks, or into a PDF file when no
// printer is installed. Pages break by the font's line spacing inside 0.25 in margins.
class ReportPrinter {
public:
    enum class Outcome { Printed, Cancelled, Failed };
    struct Result {
        Outcome outcome = Outcome::Printed;
        QString error; // with Failed: what went wrong, naming the file where there is one
    };

    virtual ~ReportPrinter() = default;
    virtual Result print(const PrintReport& report) = 0;
};
