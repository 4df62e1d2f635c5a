#include "tools/web_notify_menu.h"

#include "core/notify_records.h"
#include "core/prompts.h"
#include "platform/shell.h"
#include "tools/web_notify_pages.h"

#include <QAction>
#include <QFile>
#include <QWidget>

void openLastResults(const WebNotifyCommands& c) {
    const QString page = webnotifypages::mainPagePath(c.programFolder);
    if (!QFile::exists(page)) {
        c.prompts.warning(QStringLiteral("A previous results file could not be found."));
        return;
    }
    OpenDocument(c.shell, c.prompts, page, QString());
}

void addWebNotifyMenu(QWidget* list, const WebNotifyCommands& c,
                      std::function<std::optional<QString>()> selectedAddress) {
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
    const auto add = [list](const char* name, const QString& text) {
        auto* action = new QAction(text, list);
        action->setObjectName(QLatin1String(name));
        list->addAction(action);
        return action;
    };
    QObject::connect(add("mnuOpenPageInBrowser", QStringLiteral("&Open Page In Browser")),
                     &QAction::triggered, list, [c, selectedAddress] {
                         const auto address = selectedAddress();
                         if (!address) {
                             c.prompts.warning(QStringLiteral(
                                 "You must select a web site from the list before it can be "
                                 "loaded into a browser."));
                             return;
                         }
                         OpenDocument(c.shell, c.prompts, *address, QString());
                     });
    QObject::connect(add("mnuViewLastResults", QStringLiteral("&View Last Results")),
                     &QAction::triggered, list, [c] { openLastResults(c); });
    QObject::connect(add("mnuReset", QStringLiteral("&Reset")), &QAction::triggered, list, [c] {
        if (c.prompts.askYesNo(QStringLiteral(
                "Are you sure you wish to remove all your stored last updated values?  This "
                "means the next time you check for changes all sites will indicate an update.")))
            NotifyRecords::reset(c.store);
    });
}
