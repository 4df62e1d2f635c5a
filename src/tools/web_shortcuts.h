#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The two kinds of file that name a favourite web page: Internet shortcuts (".url", an INI
// file with the address as URL in its [InternetShortcut] section) and freedesktop link
// entries (".desktop" with Type=Link).
namespace webshortcut {

// Only this much of a file is read: a shortcut is a few hundred bytes, and a favourites
// folder may hold anything.
constexpr qint64 MaxFileBytes = 64 * 1024;

// Text in UTF-8 when it is valid UTF-8, else in the program's code page (what Windows
// wrote).
QString decodeText(const QByteArray& bytes);

// The URL of an Internet shortcut: section and key compared without case, lines ending
// in CR LF or LF, blanks around the key and the value dropped and a quoted value
// unquoted; commas and semicolons are part of the value. Empty when there is none.
QString internetShortcutUrl(const QByteArray& bytes);

struct DesktopLink {
    QString name; // Name, empty when the entry has none
    QString url;
};
// The Name and URL of a [Desktop Entry] of Type=Link, escapes resolved; nothing for any
// other desktop entry.
std::optional<DesktopLink> desktopLink(const QByteArray& bytes);

// The first MaxFileBytes of a file; a line cut off at that limit is dropped. Empty when
// the file cannot be read.
QByteArray readHead(const QString& path);

} // namespace webshortcut
