#pragma once

#include "platform/dialogs.h"

// The desktop's file, folder, colour and text dialogs, in front of the active window.
class QtDialogs final : public Dialogs {
public:
    std::optional<QString> saveFile(const FileChoice& choice) override;
    std::optional<QString> openFile(const FileChoice& choice) override;
    std::optional<QString> chooseFolder(const QString& title, const QString& folder) override;
    std::optional<QColor> chooseColour(const QColor& initial) override;
    std::optional<QString> askText(const QString& title, const QString& label, const QString& text,
                                   bool hidden) override;
};
