#pragma once

#include "core/records.h"

#include <QString>
#include <QStringList>

#include <vector>

// One web page among the user's favourites: a shortcut file somewhere below the
// favourites folder.
struct Favourite {
    QString category; // the sub-folder below the favourites folder: "/" or "/News/Daily"
    QString title;    // the file's name without its extension (a link entry's Name)
    QString url;      // empty when the file names none or cannot be read
    QString filename; // the file's full path
    bool excluded = false;
    bool autoExcluded = false; // its path holds an auto-exclude fragment
};

// Every shortcut below the folder, folder by folder in name order. Names beginning with
// "." are left out; folders reached through a symbolic link are not entered (a link to a
// parent would never end), and folders that cannot be read are passed over.
std::vector<Favourite> scanFavourites(const QString& folder);

// The path the auto-excludes are looked for in: the shortcut's place below the favourites
// folder, "\News\Daily\Site.url". "/" and "\" are the same separator, so the fragments
// written for Windows ("\links\") work here.
QString autoExcludePath(const Favourite& favourite);

// Which favourites are left out: those whose address is a manual exclude exactly, and
// those whose path holds an auto-exclude fragment, ignoring case.
class Exclusions {
public:
    Exclusions(const ExcludeTable& excludes, const AutoExcludeTable& autoExcludes);
    bool isAutoExcluded(const Favourite& favourite) const;
    void mark(std::vector<Favourite>& favourites) const;

private:
    QStringList manual_;
    QStringList fragments_; // upper case, "\" as the separator
};

// Exclude and Include keep the table in step with the list at once. Exclude adds the
// address unless it is there already; false when the table is full.
bool addExclude(ExcludeTable& table, const QString& url);
// Removes every entry of the address.
void removeExclude(ExcludeTable& table, const QString& url);
// What OK stores: the excludes of addresses that the list does not show (a folder moved
// or missing for the moment loses none), then the address of every row marked excluded
// that no auto-exclude covers. Nothing beyond the table's capacity.
void rebuildExcludes(ExcludeTable& table, const std::vector<Favourite>& favourites);
