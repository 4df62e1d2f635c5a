#pragma once

class QGroupBox;

// A group box of radio buttons stands for one choice, numbered from 0 by the order in which
// its buttons were made (the order of the form).
namespace radiogroup {

// The checked button's number, or -1 when none is checked.
int itemIndex(const QGroupBox* group);
// Checks button number index; an index outside the buttons checks none.
void setItemIndex(QGroupBox* group, int index);

} // namespace radiogroup
