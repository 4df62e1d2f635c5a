#include "calllog/call_log_sort.h"
#include "calllog/call_log_statistics.h"
#include "calllog/call_log_table.h"
#include "calllog/call_log_texts.h"
#include "calllog/connectoid_list.h"
#include "hand_built_call_log.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>

namespace {

using Rows = QList<QStringList>;

class HandBuiltLog : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ConnectoidGrouping grouping{handbuilt::phonebook()};
    CallLogTable table = CallLogTable::load(handbuilt::writeLog(dir.path()), grouping);
    CallLogTexts texts{RegionalSettings::english(), 0, 0, QLocale::c()};

    CallLogSelection select(const ConnectoidFilter& filter = ConnectoidFilter::all()) const {
        return selectCalls(table, filter, handbuilt::now());
    }
    QList<quint32> recordNumbers(const std::vector<quint32>& rows) const {
        QList<quint32> numbers;
        for (const quint32 r : rows)
            numbers << table.rows()[r].Record_Number;
        return numbers;
    }
    const CallLogRow& record(quint32 number) const {
        for (const CallLogRow& row : table.rows())
            if (row.Record_Number == number)
                return row;
        throw std::out_of_range("no such record");
    }
};

TEST_F(HandBuiltLog, FiguresOfEveryCall) {
    const CallLogSelection all = select();
    EXPECT_EQ(recordNumbers(all.rows), QList<quint32>({1, 3, 4, 5, 6, 7, 8}));
    // Garbage counts as 0, the data sum does not wrap at 4 GB, the call across midnight
    // counts in January and the undated record makes no month.
    EXPECT_EQ(all.figures.totalData, 4300183551u);
    const QString stars = logtexts::SeparatorRow;
    EXPECT_EQ(texts.statisticsRows(all.figures),
              Rows({{"Total (excluding discount)", "00:02:55:30", "£2.45", "4.00GB"},
                    {"Discount", "not applicable", "£0.25", "not applicable"},
                    {stars, stars, stars, stars},
                    {"Total (including discount)", "00:02:55:30", "£2.20", "4.00GB"}}));
    EXPECT_EQ(texts.headingRows(all.figures),
              Rows({{"Weekly Projection", "00:00:20:28", "£0.29", "£0.26", "478.45MB"},
                    {"Monthly Projection", "00:01:27:45", "£1.23", "£1.10", "2.00GB"},
                    {"Quarterly Projection", "00:04:23:15", "£3.68", "£3.30", "6.01GB"},
                    {"Yearly Projection", "00:17:47:37", "£14.90", "£13.38", "24.36GB"},
                    {"January 2024", "00:00:30:00", "£0.50", "£0.45", "1.46MB"},
                    {"February 2024", "00:01:45:30", "£1.80", "£1.60", "3.00MB"},
                    {"March 2024", "00:00:40:00", "£0.15", "£0.15", "522.00KB"}}));
    EXPECT_EQ(texts.otherStatisticsRows(all.figures),
              Rows({{"Call Span", "31/01/2024 23:50:00 -> 10/03/2024 20:30:00"},
                    {"Number Of Full Days", "61"},
                    {"Number Of Calls", "7"},
                    {"Average Length Per Call", "00:00:25:04"},
                    {"Total Number Of Seconds", "10,530"},
                    {"Total Number Of Minutes", "176"},
                    {"Total Number Of Hours", "2.9"},
                    {"Projected Number Of Calls Per Week", "0"},
                    {"Projected Number Of Calls Per Month", "3"},
                    {"Projected Number Of Calls Per Quarter", "10"},
                    {"Projected Number Of Calls Per Year", "42"},
                    {"Average Cost (without discount) Per Call", "£0.35"},
                    {"Average Cost (with discount) Per Call", "£0.31"},
                    {"Average Data Transferred Per Call", "585.85MB"},
                    {"Number Of Automatic Log Entries", "1"},
                    {"Number Of Log Entries Inserted", "1"},
                    {"Number Of Log Entries Edited", "1"},
                    {"Number Of Adjustments", "1"},
                    {"Number Of Recovered Log Entries", "1"},
                    {"Number Of Auto Disconnected Log Entries", "1"},
                    {"Number Of Deleted Log Entries", "2"},
                    {"Total Number Of Log Entries", "9"},
                    {"Wasted Space", "22%"}}));
}

TEST_F(HandBuiltLog, FiltersCompareShownNames) {
    const QStringList items = connectoidFilterItems(handbuilt::phonebook());
    // Entry names are held as the call log holds them: "Интернет" outside the code page.
    EXPECT_EQ(items, QStringList({"All", "????????", "All", "Home ISP", "Mobile", "Unknown/Other",
                                  "Work \"VPN\""}));
    const struct {
        ConnectoidFilter filter;
        QList<quint32> records;
    } cases[] = {
        {ConnectoidFilter::fromItem(items, 0), {1, 3, 4, 5, 6, 7, 8}},
        {ConnectoidFilter::fromItem(items, 2), {5}}, // the dial-up entry named "All"
        {ConnectoidFilter::fromItem(items, 1), {6}},
        {ConnectoidFilter::named("Home ISP"), {1, 8}},
        {ConnectoidFilter::named("Unknown/Other"), {4}}, // "Old ISP" is gone
        {ConnectoidFilter::named("Интернет"), {6}},      // stored as "????????"
        {ConnectoidFilter::named("Work \"VPN\""), {7}},
        {ConnectoidFilter::named("Old ISP"), {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(recordNumbers(select(c.filter).rows), c.records)
            << c.filter.caption().toStdString();

    // One call: the projections divide by the days up to now, the call counts in no mode.
    const CallLogSelection one = select(ConnectoidFilter::named("All"));
    EXPECT_EQ(one.figures.days(), 31);
    EXPECT_EQ(one.figures.modeCounts, (std::array<qint64, 6>{}));
    EXPECT_EQ(texts.headingRows(one.figures).last(),
              QStringList({"March 2024", "00:00:10:00", "£0.10", "£0.10", "10.00KB"}));
}

TEST_F(HandBuiltLog, LogsWithoutListedCallsGiveNoFigures) {
    QList<typCallLogInformation> removed = handbuilt::records();
    for (typCallLogInformation& r : removed)
        r.Deleted = 1;
    const CallLogTable onlyRemoved =
        CallLogTable::load(handbuilt::writeLog(dir.filePath("removed"), removed), grouping);
    const CallLogTable missing = CallLogTable::load(dir.filePath("none/log070.bin"), grouping);
    EXPECT_TRUE(onlyRemoved.exists());
    EXPECT_FALSE(missing.exists());
    for (const CallLogTable* t : {&onlyRemoved, &missing}) {
        const CallLogSelection s = selectCalls(*t, ConnectoidFilter::all(), handbuilt::now());
        EXPECT_TRUE(s.rows.empty());
        EXPECT_TRUE(texts.statisticsRows(s.figures).isEmpty());
        EXPECT_TRUE(texts.headingRows(s.figures).isEmpty());
        EXPECT_TRUE(texts.otherStatisticsRows(s.figures).isEmpty());
    }
    EXPECT_EQ(onlyRemoved.removedCount(), 9);
}

TEST_F(HandBuiltLog, CellTexts) {
    const struct {
        quint32 record;
        QStringList cells;
    } cases[] = {
        {1,
         {"31/01/2024 23:50:00", "00:20:00", "00:00:30:00", "£0.50", "£0.45", "1.46MB", "Auto", "1",
          "0.5", "0.45", "1536000", "01/02/2024 00:20:00", "Unknown/Other", "Home ISP", "anna",
          "45322.9930555556", "45323.0138888889"}},
        {3,
         {"10/02/2024 10:00:00", "10:45:30", "00:00:45:30", "£1.20", "£1.20", "n/a", "Discon", "3",
          "1.2", "1.2", "0", "10/02/2024 10:45:30", "115200", "Mobile", "Unknown/Other",
          "45332.4166666667", "45332.4482638889"}},
        // Midnight: the time is left out of a date text of 10 characters.
        {5,
         {"01/03/2024", "00:10:00", "00:00:10:00", "£0.10", "£0.10", "10.00KB", "ERROR", "5", "0.1",
          "0.1", "10240", "01/03/2024 00:10:00", "56000", "All", "bob", "45352",
          "45352.0069444444"}},
        {6,
         {"05/03/2024 12:00:00", "12:00:00", "00:00:00:00", "£-0.25", "£-0.25", "n/a", "Adjust",
          "6", "-0.25", "-0.25", "0", "05/03/2024 12:00:00", "Unknown/Other", "????????", "anna",
          "45356.5", "45356.5"}},
        {8,
         {"", "", "00:00:00:00", "£0.00", "£0.00", "4.00GB", "Rcvrd", "8", "0", "0", "4294967295",
          "", "Unknown/Other", "Home ISP", "anna", "", ""}},
    };
    for (const auto& c : cases) {
        QStringList cells;
        for (int column = 0; column < LogColumnCount; ++column)
            cells << texts.cell(table, record(c.record), static_cast<LogColumn>(column));
        EXPECT_EQ(cells, c.cells) << c.record;
    }
}

TEST_F(HandBuiltLog, SortsByEachColumn) {
    const struct {
        LogColumn column;
        QList<quint32> ascending;
    } cases[] = {
        {LogColumn::Start, {8, 1, 3, 4, 5, 6, 7}}, // undated first
        {LogColumn::Finish, {8, 1, 3, 4, 5, 6, 7}},
        {LogColumn::Length, {6, 8, 5, 1, 7, 3, 4}},
        {LogColumn::CostExc, {6, 8, 5, 7, 1, 4, 3}},
        {LogColumn::CostInc, {6, 8, 5, 7, 4, 1, 3}},
        {LogColumn::Data, {3, 6, 5, 7, 1, 4, 8}},
        {LogColumn::Mode, {6, 1, 3, 5, 7, 4, 8}}, // Adjust Auto Discon ERROR Edit Insert Rcvrd
    };
    for (const auto& c : cases) {
        LogSortState sort; // "Start", newest first: a click on it flips, on another starts up
        sort.columnClicked(c.column);
        EXPECT_EQ(sort.order, Qt::AscendingOrder);
        std::vector<quint32> rows = select().rows;
        sortLogRows(table, rows, sort);
        EXPECT_EQ(recordNumbers(rows), c.ascending) << logColumnCaption(c.column).toStdString();
        sort.columnClicked(c.column);
        EXPECT_EQ(sort.order, Qt::DescendingOrder);
        sortLogRows(table, rows, sort);
        QList<quint32> descending = c.ascending;
        std::reverse(descending.begin(), descending.end());
        EXPECT_EQ(recordNumbers(rows), descending) << logColumnCaption(c.column).toStdString();
    }

    // A hidden column compares nothing: the list keeps its order.
    std::vector<quint32> rows = select().rows;
    sortLogRows(table, rows, {LogColumn::Start, Qt::DescendingOrder});
    const std::vector<quint32> newestFirst = rows;
    sortLogRows(table, rows, {LogColumn::UserName, Qt::AscendingOrder});
    EXPECT_EQ(rows, newestFirst);
}

TEST(FormatDuration, RoundsToTheMillisecondFirst) {
    const auto en = RegionalSettings::english();
    const double second = 1.0 / 86400;
    const struct {
        double days;
        QString text;
    } cases[] = {
        {datetime::encode(2024, 2, 1, 0, 20) - datetime::encode(2024, 1, 31, 23, 50),
         "00:00:30:00"},
        {1 + (2 * 3600 + 3 * 60 + 4) * second, "01:02:03:04"},
        {123.5, "123:12:00:00"},
        {29.9996 * second, "00:00:00:30"},
        {-3600 * second, "-00:01:00:00"},
        {-1e-12, "00:00:00:00"},
        {std::nan(""), "00:00:00:00"},
        {-std::numeric_limits<double>::infinity(), "00:00:00:00"},
        {3652058.75, "3652058:18:00:00"}, // from year 1 to 9999
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDuration(c.days, en), c.text) << c.days;
    EXPECT_EQ(FormatDuration(0.5, RegionalSettings::italian()), "00.12.00.00");
}

TEST(DateTimeToFullStr, MidnightUnderAnEightCharacterDate) {
    RegionalSettings shortYear = RegionalSettings::english();
    shortYear.shortDateFormat = "dd/MM/yy";
    const CallLogTexts texts(shortYear, 0, 0, QLocale::c());
    EXPECT_EQ(texts.DateTimeToFullStr(datetime::encode(2024, 3, 1)), "01/03/24 00:00:00");
    EXPECT_EQ(texts.DateTimeToFullStr(datetime::encode(2024, 3, 1, 0, 0, 1)), "01/03/24 00:00:01");
    EXPECT_EQ(texts.dates().dateTime(datetime::encode(2024, 3, 1)), "01/03/24");
}

} // namespace
