#pragma once

// The names another program's pending operations record a file by, and the one form every rule of
// the program compares them in: an ordinary path, as the rows name files. The boot opens each name
// through the object namespace with the global device map, so "\??\C:\a", "\DosDevices\C:\a",
// "\GLOBAL??\C:\a", "\??\GLOBALROOT\Device\HarddiskVolume3\a" and "\Device\HarddiskVolume3\a" all
// name one file; this table reads each of them. What the disk has to say (8.3 names, links on the
// way) is asked after it, by the platform side. Pure: no platform here.

#include <string_view>
#include <vector>

#include "runtime/path_texts.h"
#include "runtime/text.h"

// Another name of a drive's volume: its device ("\Device\HarddiskVolume1") or its volume GUID
// ("Volume{...}"), and the drive ("C:").
struct VolumeAlias {
    WideText name;
    WideText drive;
};

// What the table is read with: this system's names for its drives and its Windows folder.
struct SpellingTable {
    std::vector<VolumeAlias> aliases;
    // The system's Windows folder ("C:\Windows"), which "\SystemRoot" stands for; empty when it
    // is not known.
    WideText windowsFolder;
};

enum class SpellingKind {
    // An ordinary path, on a drive ("C:\dir\a") or a share ("\\server\share\a").
    kPath,
    // A path on a device or volume no drive letter stands for, in the literal form the system
    // opens ("\\?\GLOBALROOT\Device\HarddiskVolume5\a", "\\?\Volume{...}\a"): where it leads can
    // only be asked of the disk.
    kToOpen,
    // No drive or share the program knows: such a name cannot be compared with any path.
    kUnknown,
};

struct SpelledName {
    SpellingKind kind = SpellingKind::kUnknown;
    // The ordinary path, the literal one, or the name as recorded without its markers.
    WideText text;
};

// The name as recorded without the markers before it: "*" and digits before some sources, "!"
// before a destination a rename replaces, "@" before a rename the boot may fail quietly.
std::u16string_view WithoutMarkers(std::u16string_view recorded);

// The form a recorded source or destination comes to. The object manager ignores ASCII case in the
// names of its links and devices.
SpelledName ReadSpelling(std::u16string_view recorded, const SpellingTable& table);

// How the program shows a recorded name: its ordinary path where the table gives one, else as it
// is recorded without its markers.
WideText ShownName(std::u16string_view recorded, const SpellingTable& table);
