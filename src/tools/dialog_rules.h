#pragma once

#include <QList>
#include <QString>

class QDialog;
class QLineEdit;
class QPushButton;

// What the entry dialogs of the tool lists share.

// The caption of every entry dialog that edits an existing entry.
extern const QString PropertiesCaption;

// OK accepts and Cancel rejects; OK is the default button and is enabled only while every
// required box holds more than blanks.
void prepareEntryDialog(QDialog* dialog, QPushButton* ok, QPushButton* cancel,
                        const QList<QLineEdit*>& required);
