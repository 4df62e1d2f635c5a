#include "app/qt_report_printer.h"

#include "scripted_dialogs.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QString run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}
} // namespace

TEST(ReportPrinter, WithoutAPrinterAReportBecomesAPdfOfWholeLinesOverItsPages) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext is not installed (scripts/deps.sh installs poppler-utils)";
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    QtReportPrinter printer(dialogs);
    printer.hasPrinters = [] { return false; };
    PrintReport report;
    report.title = "Detail";
    report.pointSize = 10;
    for (int i = 0; i < 300; ++i)
        report.lines
            << QStringLiteral("Demo                     row %1").arg(i, 3, 10, QChar(u'0'));
    const QString pdf = dir.filePath("detail.pdf");
    report.refuseFile = [&](const QString& path) {
        return path.endsWith("log070.bin") ? QStringLiteral("Not onto the call log.") : QString();
    };

    dialogs.cancelNext();
    EXPECT_EQ(printer.print(report).outcome, ReportPrinter::Outcome::Cancelled);
    dialogs.answerNext(dir.filePath("log070.bin"));
    const auto refused = printer.print(report);
    EXPECT_EQ(refused.outcome, ReportPrinter::Outcome::Failed);
    EXPECT_EQ(refused.error, "Not onto the call log.");
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("log070.bin")));
    dialogs.answerNext(dir.filePath("no/such/folder/x.pdf"));
    const auto unwritable = printer.print(report);
    EXPECT_EQ(unwritable.outcome, ReportPrinter::Outcome::Failed);
    EXPECT_TRUE(unwritable.error.contains("x.pdf")) << unwritable.error.toStdString();

    dialogs.answerNext(pdf);
    ASSERT_EQ(printer.print(report).outcome, ReportPrinter::Outcome::Printed);
    ASSERT_EQ(dialogs.asked.size(), 4);
    EXPECT_EQ(dialogs.asked[3].file.defaultSuffix, "pdf");

    const QString info = run("pdfinfo", {pdf});
    const int pages = info.section("Pages:", 1).trimmed().section(u'\n', 0, 0).toInt();
    EXPECT_GE(pages, 4);
    EXPECT_LE(pages, 6);
    // Every line once, in order, whole on its page.
    const QStringList text = run("pdftotext", {"-layout", pdf, "-"}).split(u'\n');
    QStringList rows;
    for (const QString& line : text)
        if (line.contains("row "))
            rows << line.simplified();
    ASSERT_EQ(rows.size(), 300);
    EXPECT_EQ(rows.first(), report.lines.first().simplified());
    EXPECT_EQ(rows.last(), report.lines.last().simplified());
    // "Courier New" is there through fonts-liberation's Liberation Mono.
    EXPECT_TRUE(run("pdffonts", {pdf}).contains("Mono")) << run("pdffonts", {pdf}).toStdString();
}
