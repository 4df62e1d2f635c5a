#include "tools/favourites.h"

#include "core/lists.h"
#include "tools/web_shortcuts.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

const QString InternetShortcutSuffix = QStringLiteral(".url");
const QString DesktopEntrySuffix = QStringLiteral(".desktop");

QString withBackslashes(QString text) {
    return text.replace(u'/', u'\\');
}

// The favourite a file stands for, or nothing when the file is no web shortcut.
std::optional<Favourite> favouriteOf(const QFileInfo& file, const QString& category) {
    const QString name = file.fileName();
    Favourite f;
    f.category = category;
    f.filename = file.filePath();
    if (name.endsWith(InternetShortcutSuffix, Qt::CaseInsensitive)) {
        f.title = name.chopped(InternetShortcutSuffix.size());
        f.url = webshortcut::internetShortcutUrl(webshortcut::readHead(f.filename));
        return f;
    }
    if (name.endsWith(DesktopEntrySuffix)) {
        const auto link = webshortcut::desktopLink(webshortcut::readHead(f.filename));
        if (!link)
            return std::nullopt;
        f.title = link->name.isEmpty() ? name.chopped(DesktopEntrySuffix.size()) : link->name;
        f.url = link->url;
        return f;
    }
    return std::nullopt;
}

} // namespace

std::vector<Favourite> scanFavourites(const QString& folder) {
    std::vector<Favourite> out;
    if (folder.isEmpty())
        return out;
    // Folders still to visit, with their category; a list rather than recursion, so a deep
    // tree cannot exhaust the stack.
    QList<std::pair<QString, QString>> pending{{QDir(folder).absolutePath(), QStringLiteral("/")}};
    while (!pending.isEmpty()) {
        const auto [path, category] = pending.takeFirst();
        const QFileInfoList entries = QDir(path).entryInfoList(
            QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name | QDir::DirsLast);
        QList<std::pair<QString, QString>> subfolders;
        for (const QFileInfo& entry : entries) {
            if (entry.fileName().startsWith(u'.'))
                continue;
            if (entry.isDir()) {
                if (!entry.isSymLink())
                    subfolders.append(
                        {entry.filePath(),
                         (category == u"/" ? category : category + u'/') + entry.fileName()});
            } else if (entry.isFile()) {
                if (auto f = favouriteOf(entry, category))
                    out.push_back(std::move(*f));
            }
        }
        pending = subfolders + pending; // depth first, as a folder tree reads
    }
    return out;
}

QString autoExcludePath(const Favourite& favourite) {
    const QString category = favourite.category == u"/" ? QString() : favourite.category;
    return withBackslashes(category + u'/' + QFileInfo(favourite.filename).fileName());
}

Exclusions::Exclusions(const ExcludeTable& excludes, const AutoExcludeTable& autoExcludes) {
    for (const ExcludeText& e : excludes)
        if (!e.Text.isEmpty())
            manual_.append(e.Text);
    for (const ExcludeText& e : autoExcludes) {
        if (e.Text.isEmpty())
            break;
        fragments_.append(withBackslashes(e.Text).toUpper());
    }
}

bool Exclusions::isAutoExcluded(const Favourite& favourite) const {
    const QString path = autoExcludePath(favourite).toUpper();
    for (const QString& fragment : fragments_)
        if (path.contains(fragment))
            return true;
    return false;
}

void Exclusions::mark(std::vector<Favourite>& favourites) const {
    const QSet<QString> manual(manual_.cbegin(), manual_.cend());
    for (Favourite& f : favourites) {
        f.autoExcluded = isAutoExcluded(f);
        f.excluded = f.autoExcluded || manual.contains(f.url);
    }
}

bool addExclude(ExcludeTable& table, const QString& url) {
    for (const ExcludeText& e : table)
        if (e.Text == url)
            return true;
    const int slot = FindFreeExclude(table);
    if (slot == 0)
        return false;
    table[slot].Text = url;
    return true;
}

void removeExclude(ExcludeTable& table, const QString& url) {
    for (int i = usedCount(table); i >= 1; --i)
        if (table[i].Text == url)
            DeleteExclude(table, i);
}

void rebuildExcludes(ExcludeTable& table, const std::vector<Favourite>& favourites) {
    QSet<QString> shown;
    for (const Favourite& f : favourites)
        shown.insert(f.url);
    QStringList kept;
    QSet<QString> taken;
    const auto keep = [&](const QString& url) {
        if (!url.isEmpty() && !taken.contains(url)) {
            taken.insert(url);
            kept.append(url);
        }
    };
    for (int i = 1; i <= usedCount(table); ++i)
        if (!shown.contains(table[i].Text))
            keep(table[i].Text);
    for (const Favourite& f : favourites)
        if (f.excluded && !f.autoExcluded)
            keep(f.url);
    ClearExcludes(table);
    for (int i = 0; i < kept.size() && i < ExcludeTable::Capacity; ++i)
        table[i + 1].Text = kept[i];
}
