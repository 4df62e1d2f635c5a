#include "platform/help.h"

#include "platform/shell.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

BrowserHelp::BrowserHelp(Shell& shell, Prompts& prompts, QStringList folders)
    : shell_(shell), prompts_(prompts), folders_(std::move(folders)) {}

QString BrowserHelp::addressOf(const QString& topic) const {
    const QString page = topic.section(u'#', 0, 0);
    const QString anchor = topic.section(u'#', 1);
    const QString file = QStringLiteral("help/") +
                         (page.isEmpty() ? QStringLiteral("index") : page) +
                         QStringLiteral(".html");
    QString path;
    for (const QString& folder : folders_) {
        const QString candidate = QDir(folder).filePath(file);
        if (QFileInfo(candidate).isFile()) {
            path = candidate;
            break;
        }
    }
    // Nowhere: the first folder's path, so the error box names where the page belongs.
    if (path.isEmpty() && !folders_.isEmpty())
        path = QDir(folders_.first()).filePath(file);
    QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    return url.toString(QUrl::FullyEncoded);
}

void BrowserHelp::open(const QString& topic) {
    OpenDocument(shell_, prompts_, addressOf(topic), QString());
}
