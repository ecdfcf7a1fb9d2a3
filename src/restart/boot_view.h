#pragma once

// What the boot will see of a row's file, gathered once per row just before the request, and the
// one decision made from it. The boot carries out the pending operations in the order they were
// recorded (another program's renames before our deletions), runs as SYSTEM before late volumes
// appear (a file-backed or network disk, a RAM disk, a volume of a driver that starts at logon),
// and meets a final link by deleting what it leads to. Pure: no platform here.

#include <optional>

#include "paths/file_identity.h"
#include "paths/folded_names.h"
#include "runtime/path_texts.h"
#include "runtime/text.h"

// A drive letter or volume as the boot would meet it.
struct VolumeFacts {
    // A share ("\\server\share"), reached by no drive letter at all.
    bool share = false;
    // GetDriveType of its root ("C:\"): 0 unknown, 1 no such root, 2 removable, 3 fixed,
    // 4 remote, 5 CD-ROM, 6 RAM disk.
    unsigned driveType = 0;
    // The letter is a SUBST drive of the user's session ("\??\C:\folder" behind it).
    bool subst = false;
    // The storage bus of the disk under it (STORAGE_BUS_TYPE), when the system answered.
    std::optional<unsigned> busType;
    // The mount manager has the volume: a letter it gave, or a volume GUID. A DefineDosDevice
    // letter of the user's session, say, it does not have, and the boot never sees.
    bool knownToMountManager = false;
};

// Where the system says the file is, as it answered for the handle the survey opened: its final
// path, links on the way followed, and the volume under it. The rules below tell from these where
// the file is recorded and which drive the boot must have.
struct ReportedPlace {
    // The path the system reports ("\\?\C:\dir\name"), as the file system spells its names;
    // empty when it reports none.
    LiteralPath path;
    // It reported none because the file's volume has no drive letter (ERROR_PATH_NOT_FOUND); any
    // other failure (Wine reports no path beyond MAX_PATH) leaves the file where the letter typed
    // puts it.
    bool noLetter = false;
    // The reported path opens this very file: it is spelt as the row, or the file it opens is the
    // same. Wine reports "a\foo" for "a\foo.".
    bool leadsBack = false;
    // The drive letter or share the reported path begins with.
    std::optional<VolumeFacts> drive;
    // The volume the file is on, by its GUID path, when the system gave one: a disk mounted in a
    // folder of C: is judged as the disk it is, not as C:.
    std::optional<VolumeFacts> volume;
};

struct BootView {
    // The row's path opens, in the view the boot has.
    bool exists = false;
    // The file is no longer where it was when the row was listed: a folder on its way was
    // re-pointed since.
    bool movedSinceListing = false;
    bool folder = false;
    // The letter the row names, which the boot must have too.
    VolumeFacts namedDrive;
    ReportedPlace reported;
    // Where the file is by its folder: the folder's final path and the file's own name, asked
    // when the path reported for the file does not lead back to it.
    ReportedPlace byFolder;
    // The reparse tag of the file itself; 0 for an ordinary file.
    unsigned long reparseTag = 0;
    // The file's attributes, or its reparse point's tag, could not be read: it cannot be told an
    // ordinary file.
    bool attributesUnknown = false;
    // A pending rename moves, replaces or creates the file or a folder above it.
    bool renameConflict = false;
    // Whether SYSTEM may delete the file; nothing when the check could not be made.
    std::optional<bool> systemMayDelete;
    // The read-only attribute, which some boots do not clear before they delete, and which file
    // it is on (asked only of a read-only one).
    bool readOnly = false;
    FileIdentity identity;
    // The file's names (hard links): the data stays under the others when this one goes.
    unsigned long linkCount = 1;
    // The pending operations could not be read whole, so the renames before ours are not known.
    bool pendingUnrecognised = false;
};

// What a row or an entry must be for the boot to delete it as it stands: a file row names a
// file, a folder row a folder, and an entry found inside a folder may be either.
enum class Wanted { kFile, kFolder, kEither };

// Why the boot would not delete exactly the row's file, in the order the reasons are shown.
enum class BootRefusal {
    kNone,
    kPendingUnrecognised,
    kNoFile,
    kMovedSinceListing,
    kFolder,
    kNetwork,
    kSubst,
    kRemovable,
    kOptical,
    kNoBootVolume,
    kLink,
    kSpecialFile,
    kUnknowable,
    kRenameConflict,
    kSystemMayNotDelete,
    // A folder row's own refusals, told before its folder is walked.
    kSystemFolder,
    kUnlistedFolder,
    // The row's deletions would take the pending values past the cap the program keeps them to.
    kOverCap,
};

BootRefusal DecideBootRefusal(const BootView& view, Wanted wanted = Wanted::kFile);

// Where the file really is: the volume of its final path. Nothing when the system reports no path
// with a drive letter for it: a volume the boot has no name for.
std::optional<VolumeFacts> FinalDriveOf(const BootView& view);
// The final path the file is reached by: its own when that leads back to it, else its folder's and
// its name when that does; empty when neither does.
LiteralPath LocationOf(const BootView& view);

// The "原因" text of a refusal (code page 936, from the program's texts); empty for kNone.
Text BootRefusalReason(BootRefusal refusal);

// The "原因" text of an accepted file: that its data stays under its other names, when it has
// any; empty otherwise.
Text AcceptedNote(const BootView& view);

// True when the file a row names now is not where it was when the row was listed: both final
// paths known ("\\?\C:\dir\name") and not one name. A row whose place could not be told then,
// or whose final path cannot be told now, is not taken for moved.
bool MovedSinceListing(const std::optional<LiteralPath>& listed, const LiteralPath& now,
                       CaseTable table);

// The path a deletion of the surveyed file is recorded by: its location, every link on the way
// resolved, long names, the drive letter of its volume, which current boots compare with the path
// of the file they open. Empty when it has none: such a file is refused.
RecordedPath RecordedPathOf(const BootView& view);
