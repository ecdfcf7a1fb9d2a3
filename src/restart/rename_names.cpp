#include "restart/rename_names.h"

#include <optional>

#include "paths/literal_forms.h"
#include "paths/native_view.h"

namespace {

// The path with its 8.3 names long, as far as it exists now: the system's own path for the
// longest part that names a file or folder (in the native view, the boot's), and the rest, which
// no file holds yet, as it is. A path on a share or a network drive is left as it is: asking the
// server could keep the window from answering for a network time-out.
OrdinaryPath WithLongNames(const OrdinaryPath& path, VolumeCache& volumes) {
    if (path.text.find(u'~') == WideText::npos || OnNetworkDrive(volumes, path)) {
        return path;
    }
    const WideText& text = path.text;
    for (size_t end = text.size(); end != WideText::npos && end > 2;
         end = text.find_last_of(u'\\', end - 1)) {
        const std::optional<LiteralPath> location = FileLocationNow(text.substr(0, end));
        const std::optional<OrdinaryPath> ordinary =
            location ? OrdinaryFormOf(*location) : std::nullopt;
        if (ordinary) {
            return {ordinary->text + text.substr(end)};
        }
    }
    return path;
}

}  // namespace

RenamedNames RenamedNamesOf(const PendingValues& values, RenameSpellings& spellings,
                            VolumeCache& volumes, CaseTable table) {
    RenamedNames renamed;
    for (const PendingOperation& operation : values.operations) {
        if (IsDeletion(operation)) {
            continue;
        }
        const std::u16string_view units = UnitsOf(values, operation);
        for (const std::u16string_view side :
             {SourceOf(units, operation), DestinationOf(units, operation)}) {
            const WideText recorded(side);
            auto known = spellings.seen.find(recorded);
            if (known == spellings.seen.end()) {
                if (!spellings.aliasesAsked) {
                    spellings.aliases = DriveAliases();
                    spellings.aliasesAsked = true;
                }
                const OrdinaryPath shown = WithDriveLetter(ShownPath(side), spellings.aliases);
                known = spellings.seen.emplace(recorded, WithLongNames(shown, volumes)).first;
            }
            AddRenamedName(renamed, known->second, table);
        }
    }
    return renamed;
}
