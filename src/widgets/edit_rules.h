#pragma once

#include <QString>

#include <functional>

struct RegionalSettings;
class QLineEdit;
class QWidget;

// The rules of the program's edit boxes. The character rules are validators, so pasted
// text obeys them as typed text does. The rules for a text left behind run when the box
// loses focus and again when the window's OK calls applyEditRules, because Return presses
// OK without moving the focus.
namespace editrules {

// Digits only, at most maxLength of them.
void digitsOnly(QLineEdit* edit, int maxLength);
// Digits with at most one "." or "," as the decimal separator; no sign.
void decimalNumber(QLineEdit* edit, int maxLength);
// A text that is not a number (empty included) becomes "0".
void zeroWhenInvalid(QLineEdit* edit, const RegionalSettings& regional);
// A whole number outside [minimum, maximum] becomes the nearer end; one that is not a
// number becomes fallback.
void clampWhole(QLineEdit* edit, qint64 minimum, qint64 maximum, const QString& fallback);
// Any other rule for a text left behind: given the text, the text to keep.
void onLeave(QLineEdit* edit, std::function<QString(const QString&)> fix);

// Runs the leave rules of every edit inside the window, as losing focus would.
void applyEditRules(QWidget* window);

} // namespace editrules
