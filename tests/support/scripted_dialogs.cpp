#include "scripted_dialogs.h"

template <typename T> std::optional<T> ScriptedDialogs::next() {
    if (answers_.empty())
        return std::nullopt;
    const Answer a = answers_.front();
    answers_.pop_front();
    if (const T* value = std::get_if<T>(&a))
        return *value;
    return std::nullopt;
}

std::optional<QString> ScriptedDialogs::saveFile(const FileChoice& choice) {
    asked.append({Kind::SaveFile, choice, choice.title, choice.folder});
    return next<QString>();
}

std::optional<QString> ScriptedDialogs::openFile(const FileChoice& choice) {
    asked.append({Kind::OpenFile, choice, choice.title, choice.folder});
    return next<QString>();
}

std::optional<QString> ScriptedDialogs::chooseFolder(const QString& title, const QString& folder) {
    asked.append({Kind::ChooseFolder, {}, title, folder});
    return next<QString>();
}

std::optional<QColor> ScriptedDialogs::chooseColour(const QColor& initial) {
    asked.append({Kind::ChooseColour, {}, {}, initial.name()});
    return next<QColor>();
}

std::optional<QString> ScriptedDialogs::askText(const QString& title, const QString& label,
                                                const QString& text, bool hidden) {
    Q_UNUSED(text);
    asked.append({Kind::AskText, {}, title, label, hidden});
    return next<QString>();
}
