#include "app/qt_dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>

namespace {

std::optional<QString> runFileDialog(const Dialogs::FileChoice& choice,
                                     QFileDialog::AcceptMode mode) {
    QFileDialog dialog(QApplication::activeWindow(), choice.title, choice.folder, choice.filter);
    dialog.setAcceptMode(mode);
    // Saving needs an existing folder (the dialog's own rule) and asks before replacing.
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(choice.defaultSuffix);
    if (!choice.fileName.isEmpty())
        dialog.selectFile(choice.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

} // namespace

std::optional<QString> QtDialogs::saveFile(const FileChoice& choice) {
    return runFileDialog(choice, QFileDialog::AcceptSave);
}

std::optional<QString> QtDialogs::openFile(const FileChoice& choice) {
    return runFileDialog(choice, QFileDialog::AcceptOpen);
}

std::optional<QString> QtDialogs::chooseFolder(const QString& title, const QString& folder) {
    const QString chosen =
        QFileDialog::getExistingDirectory(QApplication::activeWindow(), title, folder);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

std::optional<QColor> QtDialogs::chooseColour(const QColor& initial) {
    const QColor chosen = QColorDialog::getColor(initial, QApplication::activeWindow());
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

std::optional<QString> QtDialogs::askText(const QString& title, const QString& label,
                                          const QString& text, bool hidden) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(QApplication::activeWindow(), title, label,
                              hidden ? QLineEdit::Password : QLineEdit::Normal, text, &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}
