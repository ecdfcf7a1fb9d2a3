#include "restart/restart_run.h"

bool ScheduleRows(int rowCount, const RestartRunSteps& steps) {
    bool anyAccepted = false;
    for (int row = 0; row < rowCount; ++row) {
        const RowOutcome outcome = steps.scheduleDeletion(row, steps.readPath(row));
        if (!outcome.deferred) {
            steps.reportResult(row, outcome);
            anyAccepted = anyAccepted || outcome.accepted;
        }
        steps.pump();
        if (steps.stopped()) {
            return anyAccepted;
        }
    }
    for (const auto& [row, outcome] : steps.recordDeferred()) {
        steps.reportResult(row, outcome);
        anyAccepted = anyAccepted || outcome.accepted;
    }
    return anyAccepted;
}
