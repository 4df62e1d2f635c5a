#include "net/http_url.h"

#include "core/code_page.h"

#include <QHostAddress>
#include <QList>
#include <QUrl>

#include <cstring>

namespace {

bool isControl(QChar c) {
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The length of a leading "scheme:" without its colon, or 0 when there is none.
qsizetype schemeLength(QStringView text) {
    if (text.isEmpty() || !isAsciiLetter(text[0]))
        return 0;
    qsizetype i = 1;
    while (i < text.size() && (isAsciiLetter(text[i]) || isAsciiDigit(text[i]) || text[i] == u'+' ||
                               text[i] == u'-' || text[i] == u'.'))
        ++i;
    if (i == text.size() || text[i] != u':')
        return 0;
    // "host:8080/page" is a host and its port.
    const QStringView rest = text.sliced(i + 1);
    if (!rest.startsWith(u"//")) {
        qsizetype j = 0;
        while (j < rest.size() && isAsciiDigit(rest[j]))
            ++j;
        if (j == rest.size() || rest[j] == u'/' || rest[j] == u'?' || rest[j] == u'#')
            return 0;
    }
    return i;
}

// A request line ends at a blank and is plain ASCII; quotes and brackets upset servers.
bool needsEscape(unsigned char b) {
    return b <= 0x20 || b >= 0x7F || (b != 0 && std::strchr("\"<>\\^`{|}", b) != nullptr);
}

QByteArray encodeTarget(QStringView text) {
    static constexpr char hex[] = "0123456789ABCDEF";
    QByteArray out;
    for (const char ch : text.toUtf8()) {
        const auto b = static_cast<unsigned char>(ch);
        if (needsEscape(b)) {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

// The bytes before the first c, or all of them.
QByteArray upTo(const QByteArray& text, char c) {
    const qsizetype at = text.indexOf(c);
    return at < 0 ? text : text.first(at);
}

QByteArray decodeUserInfo(QStringView text) {
    return QByteArray::fromPercentEncoding(codepage::encode(text));
}

// "." and ".." segments of a path that begins with "/".
QByteArray removeDotSegments(const QByteArray& path) {
    const QList<QByteArray> segments = path.split('/');
    QList<QByteArray> kept;
    for (qsizetype i = 1; i < segments.size(); ++i) {
        const QByteArray& segment = segments[i];
        const bool dot = segment == ".";
        const bool dotDot = segment == "..";
        if (dotDot && !kept.isEmpty())
            kept.removeLast();
        if (!dot && !dotDot)
            kept.append(segment);
        else if (i == segments.size() - 1)
            kept.append(QByteArray()); // "/a/.." names the folder "/"
    }
    return '/' + kept.join('/');
}

bool parsePort(QStringView text, quint16& port) {
    if (text.isEmpty())
        return true;
    for (const QChar c : text)
        if (!isAsciiDigit(c))
            return false;
    bool ok = false;
    const uint number = text.toUInt(&ok);
    if (!ok || number < 1 || number > 65535)
        return false;
    port = static_cast<quint16>(number);
    return true;
}

bool parseHost(QStringView text, QString& host) {
    const QByteArray ascii = QUrl::toAce(text.toString()).toLower();
    if (ascii.isEmpty())
        return false;
    for (const char c : ascii) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_'))
            return false;
    }
    host = QString::fromLatin1(ascii);
    return true;
}

} // namespace

QByteArray HttpUrl::authority() const {
    QByteArray text = host.contains(u':') ? '[' + host.toLatin1() + ']' : host.toLatin1();
    if (port != defaultPort())
        text += ':' + QByteArray::number(port);
    return text;
}

QByteArray HttpUrl::hostAndPort() const {
    const QByteArray name = host.contains(u':') ? '[' + host.toLatin1() + ']' : host.toLatin1();
    return name + ':' + QByteArray::number(port);
}

QByteArray HttpUrl::absolute() const {
    return scheme.toLatin1() + "://" + authority() + target;
}

QString HttpUrl::documentName() const {
    QByteArray path = upTo(target, '?');
    if (path.endsWith('/'))
        path.chop(1);
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    return name.isEmpty() ? QStringLiteral("document.htm") : QString::fromLatin1(name);
}

HttpUrlError parseHttpUrl(QStringView text, HttpUrl& url) {
    url = HttpUrl{};
    text = text.trimmed();
    for (const QChar c : text)
        if (isControl(c))
            return HttpUrlError::Invalid;
    if (const qsizetype n = schemeLength(text); n > 0) {
        url.scheme = text.first(n).toString().toLower();
        url.schemeGiven = true;
        if (url.scheme != QLatin1String("http") && url.scheme != QLatin1String("https"))
            return HttpUrlError::UnsupportedScheme;
        text = text.sliced(n + 1);
        if (!text.startsWith(u"//"))
            return HttpUrlError::Invalid;
    }
    if (text.startsWith(u"//"))
        text = text.sliced(2);

    qsizetype authorityEnd = 0;
    while (authorityEnd < text.size() && text[authorityEnd] != u'/' && text[authorityEnd] != u'?' &&
           text[authorityEnd] != u'#')
        ++authorityEnd;
    QStringView authority = text.first(authorityEnd);
    QStringView rest = text.sliced(authorityEnd);

    if (const qsizetype at = authority.lastIndexOf(u'@'); at >= 0) {
        const QStringView info = authority.first(at);
        const qsizetype colon = info.indexOf(u':');
        url.user = decodeUserInfo(colon < 0 ? info : info.first(colon));
        url.password = colon < 0 ? QByteArray() : decodeUserInfo(info.sliced(colon + 1));
        authority = authority.sliced(at + 1);
    }

    QStringView portText;
    if (authority.startsWith(u'[')) {
        const qsizetype close = authority.indexOf(u']');
        if (close < 0)
            return HttpUrlError::Invalid;
        QHostAddress address;
        if (!address.setAddress(authority.sliced(1, close - 1).toString()) ||
            address.protocol() != QAbstractSocket::IPv6Protocol)
            return HttpUrlError::Invalid;
        url.host = address.toString();
        const QStringView after = authority.sliced(close + 1);
        if (!after.isEmpty() && after[0] != u':')
            return HttpUrlError::Invalid;
        portText = after.isEmpty() ? after : after.sliced(1);
    } else {
        const qsizetype colon = authority.indexOf(u':');
        if (!parseHost(colon < 0 ? authority : authority.first(colon), url.host))
            return HttpUrlError::Invalid;
        portText = colon < 0 ? QStringView() : authority.sliced(colon + 1);
    }
    url.port = url.defaultPort();
    url.portGiven = !portText.isEmpty();
    if (!parsePort(portText, url.port))
        return HttpUrlError::Invalid;

    if (const qsizetype hash = rest.indexOf(u'#'); hash >= 0)
        rest = rest.first(hash);
    url.target =
        rest.isEmpty() || rest.startsWith(u'?') ? '/' + encodeTarget(rest) : encodeTarget(rest);
    return HttpUrlError::None;
}

HttpUrlError resolveHttpLocation(const HttpUrl& base, QStringView location, HttpUrl& url) {
    location = location.trimmed();
    for (const QChar c : location)
        if (isControl(c))
            return HttpUrlError::Invalid;
    if (schemeLength(location) > 0)
        return parseHttpUrl(location, url);
    if (location.startsWith(u"//"))
        return parseHttpUrl(QString(base.scheme + u':' + location.toString()), url);

    url = base;
    if (const qsizetype hash = location.indexOf(u'#'); hash >= 0)
        location = location.first(hash);
    const QByteArray reference = encodeTarget(location);
    if (reference.isEmpty())
        return HttpUrlError::None;
    const qsizetype queryAt = reference.indexOf('?');
    const QByteArray query = queryAt < 0 ? QByteArray() : reference.mid(queryAt);
    const QByteArray path = upTo(reference, '?');
    const QByteArray basePath = upTo(base.target, '?');
    if (path.isEmpty())
        url.target = basePath + query;
    else if (path.startsWith('/'))
        url.target = removeDotSegments(path) + query;
    else
        url.target = removeDotSegments(basePath.left(basePath.lastIndexOf('/') + 1) + path) + query;
    return HttpUrlError::None;
}
