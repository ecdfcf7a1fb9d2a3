#include "restart/restart_run.h"

bool ScheduleRows(int rowCount, const RestartRunSteps& steps) {
    bool anyAccepted = false;
    for (int row = 0; row < rowCount; ++row) {
        const bool accepted = steps.scheduleDeletion(steps.readPath(row));
        steps.reportResult(row, accepted);
        anyAccepted = anyAccepted || accepted;
        steps.pump();
    }
    return anyAccepted;
}
