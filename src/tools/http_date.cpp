#include "tools/http_date.h"

#include <QDate>
#include <QList>

namespace {

constexpr const char16_t* Months[] = {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                      u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};

int monthOf(QStringView name) {
    for (int m = 0; m < 12; ++m)
        if (name.compare(QStringView(Months[m]), Qt::CaseInsensitive) == 0)
            return m + 1;
    return 0;
}

// A number of 1 to maxDigits digits, or -1.
int number(QStringView text, int maxDigits) {
    if (text.isEmpty() || text.size() > maxDigits)
        return -1;
    int n = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return -1;
        n = n * 10 + (c.unicode() - u'0');
    }
    return n;
}

// Two-digit years of RFC 850 dates: 70-99 are 1970-1999, the others this century.
int fullYear(QStringView text) {
    const int y = number(text, 4);
    if (y < 0 || text.size() == 3)
        return -1;
    if (text.size() <= 2)
        return y < 70 ? 2000 + y : 1900 + y;
    return y;
}

// Minutes east of GMT, or nothing for a zone that is not understood.
std::optional<int> zoneOffset(QStringView zone) {
    if (zone.isEmpty() || zone.compare(u"GMT", Qt::CaseInsensitive) == 0 ||
        zone.compare(u"UTC", Qt::CaseInsensitive) == 0 ||
        zone.compare(u"UT", Qt::CaseInsensitive) == 0)
        return 0;
    if (zone.size() == 5 && (zone[0] == u'+' || zone[0] == u'-')) {
        const int hours = number(zone.sliced(1, 2), 2);
        const int minutes = number(zone.sliced(3, 2), 2);
        if (hours < 0 || minutes < 0 || hours > 23 || minutes > 59)
            return std::nullopt;
        const int offset = hours * 60 + minutes;
        return zone[0] == u'+' ? offset : -offset;
    }
    return std::nullopt;
}

std::optional<TDateTime> moment(int year, int month, QStringView dayText, QStringView timeText,
                                QStringView zone) {
    const int day = number(dayText, 2);
    const QList<QStringView> hms = timeText.split(u':');
    if (hms.size() != 3 || !QDate::isValid(year, month, day) || year < 1)
        return std::nullopt;
    const int hour = number(hms[0], 2);
    const int minute = number(hms[1], 2);
    int second = number(hms[2], 2);
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 60)
        return std::nullopt;
    const auto offset = zoneOffset(zone);
    if (!offset)
        return std::nullopt;
    second = qMin(second, 59); // a leap second
    return datetime::encode(year, month, day, hour, minute, second) - *offset / (24.0 * 60.0);
}

} // namespace

std::optional<TDateTime> parseHttpDate(QStringView text) {
    const QList<QStringView> words = text.trimmed().split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty())
        return std::nullopt;
    if (!words[0].endsWith(u',')) {
        // asctime: weekday month day time year
        if (words.size() != 5)
            return std::nullopt;
        const int month = monthOf(words[1]);
        const int year = number(words[4], 4);
        if (month == 0 || words[4].size() != 4)
            return std::nullopt;
        return moment(year, month, words[2], words[3], {});
    }
    if (words.size() > 1 && words[1].contains(u'-')) {
        // RFC 850: weekday, dd-Mon-yy time [zone]
        const QList<QStringView> dmy = words[1].split(u'-');
        if ((words.size() != 3 && words.size() != 4) || dmy.size() != 3)
            return std::nullopt;
        const int month = monthOf(dmy[1]);
        const int year = fullYear(dmy[2]);
        if (month == 0 || year < 0)
            return std::nullopt;
        return moment(year, month, dmy[0], words[2], words.value(3));
    }
    // RFC 1123: weekday, dd Mon yyyy time [zone]
    if (words.size() != 5 && words.size() != 6)
        return std::nullopt;
    const int month = monthOf(words[2]);
    const int year = fullYear(words[3]);
    if (month == 0 || year < 0)
        return std::nullopt;
    return moment(year, month, words[1], words[4], words.value(5));
}
