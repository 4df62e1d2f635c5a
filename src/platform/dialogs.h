#pragma once

#include <QColor>
#include <QString>

#include <optional>

// The choices a window asks of the user beyond message boxes: files, folders, colours and a
// line of text. Windows ask through this, never QFileDialog and its kin directly, so that
// tests answer them. Every answer is empty when the user cancels.
class Dialogs {
public:
    struct FileChoice {
        QString title;
        QString filter;        // "Text Files (*.txt)"; several separated by ";;"
        QString defaultSuffix; // added when the typed name has none ("txt")
        QString folder;        // where the dialog starts
        QString fileName;      // the name it proposes
    };

    virtual ~Dialogs() = default;

    // A new or existing file in an existing folder; replacing an existing one is confirmed
    // first.
    virtual std::optional<QString> saveFile(const FileChoice& choice) = 0;
    // An existing file.
    virtual std::optional<QString> openFile(const FileChoice& choice) = 0;
    virtual std::optional<QString> chooseFolder(const QString& title, const QString& folder) = 0;
    virtual std::optional<QColor> chooseColour(const QColor& initial) = 0;
    // hidden: the text is a password and is not shown as typed.
    virtual std::optional<QString> askText(const QString& title, const QString& label,
                                           const QString& text = {}, bool hidden = false) = 0;

    // The user's desktop folder, where exports are offered; the home folder when the
    // desktop has none.
    static QString desktopFolder();
};
