#pragma once

// The priority that Priority_Of_Application asks for: 0 idle, 1 normal, 2 high, as nice
// values of the main thread. Raising it needs a privilege the program usually lacks; a
// refusal is ignored and the priority stays as it was. Any other value changes nothing.
void applyProcessPriority(int priority);

// The nice value for a priority setting; 0 for an unknown one.
int niceValueFor(int priority);
