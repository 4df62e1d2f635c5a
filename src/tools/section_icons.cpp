#include "tools/section_icons.h"

#include "widgets/window_frame.h"

#include <QIcon>
#include <QListWidget>

void showSectionIcons(QListWidget* sections) {
    // The pictures are compiled into this library, which the linker does not register alone.
    Q_INIT_RESOURCE(tools);
    // In the order of the sections.
    QList<QIcon> icons;
    for (const char* file : {"web_notification", "password_database", "finger", "ping", "pop3"})
        icons << QIcon(QStringLiteral(":/tools/icons/%1.svg").arg(QLatin1String(file)));
    showSectionIcons(sections, icons);
}
