#include "restart/rename_names.h"

RenamedNames RenamedNamesOf(const PendingValues& values, SpelledNames& names, CaseTable table) {
    RenamedNames renamed;
    for (const PendingOperation& operation : values.operations) {
        if (IsDeletion(operation)) {
            continue;
        }
        const std::u16string_view units = UnitsOf(values, operation);
        for (const std::u16string_view side :
             {SourceOf(units, operation), DestinationOf(units, operation)}) {
            const std::optional<OrdinaryPath>& path = SpelledPath(names, side);
            if (path) {
                AddRenamedName(renamed, *path, table);
            } else {
                renamed.unknown = true;
            }
        }
    }
    return renamed;
}
