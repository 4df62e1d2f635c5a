#pragma once

#include <QList>
#include <QString>

// The results of a check as two pages for the browser, in the program folder: a frameset
// (notify_main.htm) with the list of changed pages (notify_toc.htm) on the left, each a
// link that opens the page on the right.
namespace webnotifypages {

struct Link {
    QString title;
    QString url;
};

QString mainPagePath(const QString& programFolder);
QString contentsPagePath(const QString& programFolder);

// Text for HTML: & < > " as entities, every character beyond ASCII as &#N;, so that a
// title or an address cannot bring markup into the page.
QString escaped(QStringView text);

// The pages' lines. The links come in the order given; a link whose title is that of the
// link before it is left out (a page and its frames share their title).
QStringList mainPage();
QStringList contentsPage(const QList<Link>& links);

// Writes both pages; false with the reason when one cannot be written.
bool write(const QString& programFolder, const QList<Link>& links, QString* error);

} // namespace webnotifypages
