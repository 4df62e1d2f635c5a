#include "message_box_prompts.h"

#include <QMessageBox>

QString MessageBoxPrompts::displayText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    shown.remove(u'\r');
    return shown;
}

Prompts::Answer MessageBoxPrompts::show(Kind kind, Buttons buttons, const QString& text,
                                        const QString& caption) {
    QMessageBox box(parent_);
    box.setWindowTitle(caption);
    box.setText(displayText(text));
    switch (kind) {
    case Kind::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Kind::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case Kind::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Kind::Confirmation:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::YesNoHelp:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Help);
        break;
    }
    // The program lives in the tray: a box must come to the front on its own.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Help:
        return Answer::Help;
    default:
        // Closing a question box without an answer is not a Yes.
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
}
