#pragma once

#include "widgets/window_frame.h" // PropertiesCaption

#include <QList>
#include <QString>

class QDialog;
class QLineEdit;
class QPushButton;

// What the entry dialogs of the tool lists share.

// OK accepts and Cancel rejects; OK is the default button and is enabled only while every
// required box holds more than blanks.
void prepareEntryDialog(QDialog* dialog, QPushButton* ok, QPushButton* cancel,
                        const QList<QLineEdit*>& required);
