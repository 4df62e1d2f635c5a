#include "app/process_priority.h"

#include <sys/resource.h>

int niceValueFor(int priority) {
    switch (priority) {
    case 0:
        return 19;
    case 2:
        return -5;
    default:
        return 0;
    }
}

void applyProcessPriority(int priority) {
    if (priority < 0 || priority > 2)
        return;
    // Refusals (raising the priority without the privilege) are ignored on purpose.
    [[maybe_unused]] const int result = ::setpriority(PRIO_PROCESS, 0, niceValueFor(priority));
}
