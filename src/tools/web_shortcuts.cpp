#include "tools/web_shortcuts.h"

#include "core/code_page.h"

#include <QFile>
#include <QList>
#include <QStringDecoder>

namespace webshortcut {

namespace {

// The lines of a small INI-like file, each without its line end and outer blanks.
QList<QStringView> lines(const QString& text) {
    QList<QStringView> out;
    for (QStringView line : QStringView(text).split(u'\n'))
        out.append(line.trimmed());
    return out;
}

bool isSectionHeader(QStringView line) {
    return line.startsWith(u'[') && line.endsWith(u']');
}

QStringView sectionName(QStringView header) {
    return header.sliced(1, header.size() - 2).trimmed();
}

// key=value with blanks around both dropped; false for any other line.
bool splitEntry(QStringView line, QStringView* key, QStringView* value) {
    const qsizetype eq = line.indexOf(u'=');
    if (eq <= 0)
        return false;
    *key = line.first(eq).trimmed();
    *value = line.sliced(eq + 1).trimmed();
    return true;
}

QString unquoted(QStringView value) {
    if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
        value = value.sliced(1, value.size() - 2);
    return value.toString();
}

// The escapes of a desktop entry's string values.
QString unescaped(QStringView value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        switch (value[++i].unicode()) {
        case u's':
            out += u' ';
            break;
        case u'n':
            out += u'\n';
            break;
        case u't':
            out += u'\t';
            break;
        case u'r':
            out += u'\r';
            break;
        default:
            out += value[i];
        }
    }
    return out;
}

} // namespace

QString decodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return codepage::decode(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

QString internetShortcutUrl(const QByteArray& bytes) {
    const QString text = decodeText(bytes);
    bool inSection = false;
    for (QStringView line : lines(text)) {
        if (isSectionHeader(line)) {
            inSection = sectionName(line).compare(u"InternetShortcut", Qt::CaseInsensitive) == 0;
            continue;
        }
        QStringView key, value;
        if (inSection && splitEntry(line, &key, &value) &&
            key.compare(u"URL", Qt::CaseInsensitive) == 0)
            return unquoted(value);
    }
    return {};
}

std::optional<DesktopLink> desktopLink(const QByteArray& bytes) {
    const QString text = decodeText(bytes);
    bool inEntry = false;
    bool isLink = false;
    DesktopLink link;
    for (QStringView line : lines(text)) {
        if (isSectionHeader(line)) {
            inEntry = sectionName(line) == u"Desktop Entry";
            continue;
        }
        QStringView key, value;
        if (!inEntry || line.startsWith(u'#') || !splitEntry(line, &key, &value))
            continue;
        if (key == u"Type")
            isLink = value == u"Link";
        else if (key == u"URL" && link.url.isEmpty())
            link.url = unescaped(value);
        else if (key == u"Name" && link.name.isEmpty())
            link.name = unescaped(value);
    }
    if (!isLink)
        return std::nullopt;
    return link;
}

QByteArray readHead(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.read(MaxFileBytes + 1);
    if (bytes.size() > MaxFileBytes) {
        bytes.truncate(MaxFileBytes);
        const qsizetype lastBreak = bytes.lastIndexOf('\n');
        bytes.truncate(lastBreak < 0 ? 0 : lastBreak + 1);
    }
    return bytes;
}

} // namespace webshortcut
