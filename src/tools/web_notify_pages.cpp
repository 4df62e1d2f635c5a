#include "tools/web_notify_pages.h"

#include <QDir>
#include <QSaveFile>

namespace webnotifypages {

namespace {

bool writeLines(const QString& path, const QStringList& lines, QString* error) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write((lines.join(u'\n') + u'\n').toUtf8());
        if (file.commit())
            return true;
    }
    if (error)
        *error = file.errorString();
    return false;
}

} // namespace

QString mainPagePath(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("notify_main.htm"));
}

QString contentsPagePath(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("notify_toc.htm"));
}

QString escaped(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        switch (c) {
        case U'&':
            out += QLatin1String("&amp;");
            break;
        case U'<':
            out += QLatin1String("&lt;");
            break;
        case U'>':
            out += QLatin1String("&gt;");
            break;
        case U'"':
            out += QLatin1String("&quot;");
            break;
        default:
            if (c < 0x80)
                out += QChar(static_cast<char16_t>(c));
            else
                out += QLatin1String("&#") + QString::number(c) + u';';
        }
    }
    return out;
}

QStringList mainPage() {
    return {QStringLiteral("<HTML>"),
            QStringLiteral("<HEAD>"),
            QStringLiteral("<TITLE>Web Notification - VORN</TITLE>"),
            QStringLiteral("</HEAD>"),
            QStringLiteral("<FRAMESET COLS=\"220,*\">"),
            QStringLiteral("<FRAME MARGINHEIGHT=\"1\" MARGINWIDTH=\"1\" SCROLLING=\"auto\" "
                           "NAME=\"toc_vorn\" SRC=\"notify_toc.htm\">"),
            QStringLiteral("<FRAME MARGINHEIGHT=\"1\" MARGINWIDTH=\"1\" SCROLLING=\"auto\" "
                           "NAME=\"main_vorn\">"),
            QStringLiteral("</FRAMESET>")};
}

QStringList contentsPage(const QList<Link>& links) {
    QStringList lines{QStringLiteral("<HTML>"), QStringLiteral("<BODY>"), QStringLiteral("<OL>")};
    const QString* previousTitle = nullptr;
    for (const Link& link : links) {
        if (previousTitle && *previousTitle == link.title)
            continue;
        previousTitle = &link.title;
        lines.append(QStringLiteral("<LI><A HREF=\"") + escaped(link.url) +
                     QStringLiteral("\" TARGET=\"main_vorn\">") + escaped(link.title) +
                     QStringLiteral("</A></LI>"));
    }
    lines << QStringLiteral("</OL>") << QStringLiteral("</BODY>") << QStringLiteral("</HTML>");
    return lines;
}

bool write(const QString& programFolder, const QList<Link>& links, QString* error) {
    return writeLines(contentsPagePath(programFolder), contentsPage(links), error) &&
           writeLines(mainPagePath(programFolder), mainPage(), error);
}

} // namespace webnotifypages
