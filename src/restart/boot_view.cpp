#include "restart/boot_view.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "paths/literal_forms.h"
#include "resources/texts.h"

namespace {

// GetDriveType's answers, by their platform values.
constexpr unsigned kDriveRemovable = 2;
constexpr unsigned kDriveFixed = 3;
constexpr unsigned kDriveRemote = 4;
constexpr unsigned kDriveCdRom = 5;

// STORAGE_BUS_TYPE values of buses whose disks come and go: such a disk may be absent at boot,
// or another card may stand under its letter.
constexpr unsigned kBusUsb = 7;
constexpr unsigned kBusSd = 12;
constexpr unsigned kBusMmc = 13;
// The buses whose disks the boot has before it carries out the pending operations: SCSI, ATA,
// RAID, SAS, SATA, Storage Spaces and NVMe. Any other (iSCSI, which needs the network; a
// virtual or file-backed disk such as a mounted VHD, attached later; an unknown one) may not
// be there yet.
constexpr unsigned kBootBuses[] = {1, 3, 8, 10, 11, 16, 17};

// Reparse tags the boot follows as links: a symbolic link, and a junction or mount point.
constexpr unsigned long kTagSymbolicLink = 0xA000000CUL;
constexpr unsigned long kTagMountPoint = 0xA0000003UL;
// A file the system compressed (CompactOS, say): its filter starts with the boot, which deletes
// it as any other file.
constexpr unsigned long kTagCompressed = 0x80000017UL;

// The two places a file's drive is judged: the letter the row names, which the boot must have,
// and the volume where the file really is.
template <typename Test>
bool EitherDrive(const BootView& view, const std::optional<VolumeFacts>& finalDrive, Test test) {
    return test(view.namedDrive) || (finalDrive && test(*finalDrive));
}

bool OnNetwork(const VolumeFacts& drive) {
    return drive.share || drive.driveType == kDriveRemote;
}

bool OnRemovableDisk(const VolumeFacts& drive) {
    const bool removableBus =
        drive.busType &&
        (*drive.busType == kBusUsb || *drive.busType == kBusSd || *drive.busType == kBusMmc);
    return drive.driveType == kDriveRemovable || removableBus;
}

bool OnBootVolume(const VolumeFacts& drive) {
    const bool bootBus = drive.busType && std::find(std::begin(kBootBuses), std::end(kBootBuses),
                                                    *drive.busType) != std::end(kBootBuses);
    return drive.driveType == kDriveFixed && bootBus && drive.knownToMountManager;
}

}  // namespace

BootRefusal DecideBootRefusal(const BootView& view, Wanted wanted) {
    // Without the renames before ours, no row can be told safe.
    if (view.pendingUnrecognised) {
        return BootRefusal::kPendingUnrecognised;
    }
    if (!view.exists) {
        return BootRefusal::kNoFile;
    }
    // A file whose attributes cannot be read may be a folder, a link or anything else.
    if (view.attributesUnknown) {
        return BootRefusal::kUnknowable;
    }
    // A folder row whose folder is a file now names nothing it stood for.
    if (wanted == Wanted::kFolder && !view.folder) {
        return BootRefusal::kNoFile;
    }
    if (view.movedSinceListing) {
        return BootRefusal::kMovedSinceListing;
    }
    if (view.folder && wanted == Wanted::kFile) {
        return BootRefusal::kFolder;
    }
    const std::optional<VolumeFacts> finalDrive = FinalDriveOf(view);
    if (EitherDrive(view, finalDrive, OnNetwork)) {
        return BootRefusal::kNetwork;
    }
    if (EitherDrive(view, finalDrive, [](const VolumeFacts& drive) { return drive.subst; })) {
        return BootRefusal::kSubst;
    }
    if (EitherDrive(view, finalDrive, OnRemovableDisk)) {
        return BootRefusal::kRemovable;
    }
    if (EitherDrive(view, finalDrive,
                    [](const VolumeFacts& drive) { return drive.driveType == kDriveCdRom; })) {
        return BootRefusal::kOptical;
    }
    // A file reached through a folder link on a volume without a letter has no final path with
    // one; the boot, which knows no other names, cannot reach it.
    if (!finalDrive || !OnBootVolume(view.namedDrive) || !OnBootVolume(*finalDrive)) {
        return BootRefusal::kNoBootVolume;
    }
    // Recorded by a path that may pass through a link, the deletion would not meet this file.
    if (!view.reported.leadsBack && !view.byFolder.leadsBack) {
        return BootRefusal::kUnknowable;
    }
    if (view.reparseTag == kTagSymbolicLink || view.reparseTag == kTagMountPoint) {
        return BootRefusal::kLink;
    }
    if (view.reparseTag != 0 && view.reparseTag != kTagCompressed) {
        return BootRefusal::kSpecialFile;
    }
    if (view.renameConflict) {
        return BootRefusal::kRenameConflict;
    }
    if (view.systemMayDelete == false) {
        return BootRefusal::kSystemMayNotDelete;
    }
    return BootRefusal::kNone;
}

Text BootRefusalReason(BootRefusal refusal) {
    switch (refusal) {
        case BootRefusal::kNone:
            return Text();
        case BootRefusal::kPendingUnrecognised:
            return kReasonPendingUnrecognised;
        case BootRefusal::kNoFile:
            return kReasonNoFile;
        case BootRefusal::kMovedSinceListing:
            return kReasonMovedSinceListing;
        case BootRefusal::kFolder:
            return kReasonFolder;
        case BootRefusal::kNetwork:
            return kReasonNetwork;
        case BootRefusal::kSubst:
            return kReasonSubst;
        case BootRefusal::kRemovable:
            return kReasonRemovable;
        case BootRefusal::kOptical:
            return kReasonOptical;
        case BootRefusal::kNoBootVolume:
            return kReasonNoBootVolume;
        case BootRefusal::kLink:
            return kReasonLink;
        case BootRefusal::kSpecialFile:
            return kReasonSpecialFile;
        case BootRefusal::kUnknowable:
            return kReasonUnknowable;
        case BootRefusal::kRenameConflict:
            return kReasonRenameConflict;
        case BootRefusal::kSystemMayNotDelete:
            return kReasonSystemMayNotDelete;
        case BootRefusal::kSystemFolder:
            return kReasonSystemFolder;
        case BootRefusal::kUnlistedFolder:
            return kReasonUnlistedFolder;
        case BootRefusal::kOverCap:
            return kReasonOverCap;
    }
    return Text();
}

Text AcceptedNote(const BootView& view) {
    if (view.folder || view.linkCount <= 1) {
        return Text();
    }
    return kOtherLinksPrefix + std::to_string(view.linkCount - 1) + kOtherLinksSuffix;
}

bool MovedSinceListing(const std::optional<LiteralPath>& listed, const LiteralPath& now,
                       CaseTable table) {
    return listed && !listed->empty() && !now.empty() && !SameName(*listed, now, table);
}

std::optional<VolumeFacts> FinalDriveOf(const BootView& view) {
    const bool byFolder = !view.reported.leadsBack && view.byFolder.leadsBack;
    const ReportedPlace& place = byFolder ? view.byFolder : view.reported;
    if (place.drive) {
        return place.drive->share ? place.drive : place.volume.value_or(*place.drive);
    }
    if (view.reported.path.empty() && !view.reported.noLetter) {
        return view.namedDrive;
    }
    return std::nullopt;
}

LiteralPath LocationOf(const BootView& view) {
    if (view.reported.leadsBack) {
        return view.reported.path;
    }
    return view.byFolder.leadsBack ? view.byFolder.path : LiteralPath{};
}

RecordedPath RecordedPathOf(const BootView& view) {
    return RecordedFormOf(LocationOf(view));
}
