#pragma once

// Which kind of drive or volume a path is on, as the boot would meet it, each drive and volume
// asked once per run.

#include <functional>
#include <map>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/win32.h"
#include "restart/boot_view.h"
#include "runtime/path_texts.h"

// A text's hash, for maps whose keys are looked up by a view of another text.
struct TextHash {
    using is_transparent = void;
    size_t operator()(std::u16string_view text) const {
        return std::hash<std::u16string_view>{}(text);
    }
};

struct VolumeCache {
    // Each drive letter's facts, by upper-case letter.
    std::map<char16_t, VolumeFacts> drives;
    // The facts of the volume each folder is on, by the folder's final path ("C:\dir\"): every
    // file of a folder is on its volume. Nothing when the system gave no GUID path for a file of
    // it. Looked up by a view while the file is open.
    std::unordered_map<WideText, std::optional<VolumeFacts>, TextHash, std::equal_to<>>
        folderVolumes;
    // Each volume's facts, by its GUID path ("\\?\Volume{...}\").
    std::map<WideText, VolumeFacts> volumes;
};

// The drive facts of an ordinary full path: its letter's, or a share's; nothing for another form.
std::optional<VolumeFacts> VolumeOf(VolumeCache& cache, const OrdinaryPath& path);
// The folder of an ordinary final path, as the volume of its files is kept by: "C:\dir\" for
// "C:\dir\a.txt".
std::u16string_view FolderOfFile(std::u16string_view finalPath);
// The facts of the volume the files of a folder are on, as found when a file of it was asked about
// before (the mount manager takes far longer than the rest of a file's survey); null when none was.
const std::optional<VolumeFacts>* KnownFolderVolume(const VolumeCache& cache,
                                                    std::u16string_view folder);
// The facts of the volume a file of the folder is on, from the GUID path the system gave for the
// file ("\\?\Volume{...}\dir\name"; nothing when it gave none), kept for the folder's others.
std::optional<VolumeFacts> KeepFolderVolume(VolumeCache& cache, std::u16string_view folder,
                                            const WideText& guidPath);
