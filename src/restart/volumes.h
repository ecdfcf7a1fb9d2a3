#pragma once

// Which kind of drive or volume a path is on, as the boot would meet it, each drive and volume
// asked once per run.

#include <map>
#include <optional>
#include <unordered_map>
#include <vector>

#include "pending/pending_rules.h"
#include "platform/win32.h"
#include "restart/boot_view.h"
#include "runtime/path_texts.h"

struct VolumeCache {
    // Each drive letter's facts, by upper-case letter.
    std::map<char16_t, VolumeFacts> drives;
    // The facts of the volume each folder is on, by the folder's final path ("C:\dir\"): every
    // file of a folder is on its volume.
    std::unordered_map<WideText, VolumeFacts> folderVolumes;
    // Each volume's facts, by its GUID path ("\\?\Volume{...}\").
    std::map<WideText, VolumeFacts> volumes;
    // Room for any GUID path, made before a file is opened: nothing is allocated while a handle
    // is open, so that a fatal exit for want of memory leaves none behind.
    WideText volumePathRoom;
};
VolumeCache NewVolumeCache();

// The drive facts of an ordinary full path: its letter's, or a share's; nothing for another form.
std::optional<VolumeFacts> VolumeOf(VolumeCache& cache, const OrdinaryPath& path);
// The facts of the volume the file at finalPath is on, asked of the file's own volume once for
// each folder: the letter at the front of a path may not be its volume's (a disk mounted in a
// folder).
VolumeFacts VolumeOfFile(VolumeCache& cache, const OrdinaryPath& finalPath,
                         const LiteralPath& literal, const VolumeFacts& letterFacts);
// Whether a path is on a share or a network drive: asked of the drive letter only, never of the
// server.
bool OnNetworkDrive(VolumeCache& cache, const OrdinaryPath& path);
// Every drive letter's other names, as a rename may be written with them.
std::vector<VolumeAlias> DriveAliases();
