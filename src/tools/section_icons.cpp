#include "tools/section_icons.h"

#include <QIcon>
#include <QListWidget>

void showSectionIcons(QListWidget* sections) {
    // The pictures are compiled into this library, which the linker does not register alone.
    Q_INIT_RESOURCE(tools);
    // In the order of the sections.
    const char* const files[] = {"web_notification", "password_database", "finger", "ping", "pop3"};
    sections->setViewMode(QListView::IconMode);
    sections->setFlow(QListView::TopToBottom);
    sections->setWrapping(false);
    sections->setMovement(QListView::Static);
    sections->setResizeMode(QListView::Adjust);
    sections->setWordWrap(true);
    sections->setIconSize(QSize(32, 32));
    // One cell per section, as wide as the list, so that a caption wraps instead of
    // pushing a scroll bar in.
    sections->setFixedWidth(104);
    sections->setGridSize(QSize(96, 64));
    sections->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sections->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int i = 0; i < sections->count() && i < int(std::size(files)); ++i) {
        QListWidgetItem* item = sections->item(i);
        item->setIcon(QIcon(QStringLiteral(":/tools/icons/%1.svg").arg(QLatin1String(files[i]))));
        item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
        item->setSizeHint(sections->gridSize() - QSize(4, 4));
    }
}
