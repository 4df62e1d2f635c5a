#pragma once

#include "platform/dialogs.h"

#include <QList>
#include <QStringList>

#include <deque>
#include <variant>

// Answers file, folder, colour and text dialogs from a script, in order, and records every
// dialog asked for. An unscripted dialog is cancelled.
class ScriptedDialogs final : public Dialogs {
public:
    enum class Kind { SaveFile, OpenFile, ChooseFolder, ChooseColour, AskText };
    struct Asked {
        Kind kind;
        FileChoice file; // the file dialogs' request
        QString title;   // folder and text dialogs
        QString text;    // starting folder, label, or the colour's name
        bool hidden = false;
    };
    using Answer = std::variant<std::monostate, QString, QColor>; // monostate: cancel

    void answerNext(Answer answer) { answers_.push_back(std::move(answer)); }
    void cancelNext() { answers_.push_back(std::monostate{}); }

    std::optional<QString> saveFile(const FileChoice& choice) override;
    std::optional<QString> openFile(const FileChoice& choice) override;
    std::optional<QString> chooseFolder(const QString& title, const QString& folder) override;
    std::optional<QColor> chooseColour(const QColor& initial) override;
    std::optional<QString> askText(const QString& title, const QString& label, const QString& text,
                                   bool hidden) override;

    QList<Asked> asked;

private:
    template <typename T> std::optional<T> next();
    std::deque<Answer> answers_;
};
