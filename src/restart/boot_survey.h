#pragma once

// Asking the system what the boot will see of each row of one restart run. What every row shares
// is asked once, when the run begins: the renames pending before our deletions, each drive's
// kind, SYSTEM's security context. The rest is asked once per row, into one BootView.

#include <map>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/looked_up.h"
#include "platform/win32.h"
#include "restart/boot_view.h"
#include "runtime/text.h"

// SYSTEM's access check, through authz.dll, looked up at run time: where it is missing (Wine,
// say) or fails, no check is made.
struct SystemAccessCheck {
    AuthzCalls calls;
    void* resourceManager = nullptr;
    void* context = nullptr;
};

struct BootSurvey {
    // The ordinary sources and destinations of every pending rename, in both values.
    std::vector<WideText> renamed;
    // A value could not be read whole: its renames are not known, and no row is safe.
    bool pendingUnrecognised = false;
    // Each drive letter's facts, asked at its first row; by upper-case letter.
    std::map<char16_t, VolumeFacts> drives;
    // The facts of the volume each folder is on, by the folder's final path ("C:\dir\"):
    // every file of a folder is on its volume.
    std::unordered_map<WideText, VolumeFacts> folderVolumes;
    // Each volume's facts, by its GUID path ("\\?\Volume{...}\"), asked at its first file.
    std::map<WideText, VolumeFacts> volumes;
    SystemAccessCheck system;
    // Room for any final path, with its drive letter and with its volume GUID, made before any
    // file is opened: nothing is allocated while a handle is open, so that a fatal exit for want
    // of memory leaves none behind.
    WideText finalPathRoom;
    WideText volumePathRoom;
};

BootSurvey BeginBootSurvey();
// Every name a pending rename moves from or to, read now, as the paths rows name: ordinary, with
// a volume's GUID or device name as its drive letter and 8.3 names long. Nothing when a value
// could not be read whole.
std::optional<std::vector<WideText>> PendingRenameNames();
// Whether a survey counts the file's names: only a file row says how many others it has, and
// under Wine each question of a file takes about as long as the rest of its survey.
enum class OtherNames { kCounted, kNotCounted };
// What the boot will see of the file the row's UTF-16 path names; listedLocation is the final
// path its file had when the row was listed, when that could be told.
BootView SurveyRow(BootSurvey& survey, const WideText& path,
                   const std::optional<WideText>& listedLocation, OtherNames otherNames);
void EndBootSurvey(BootSurvey& survey);
// The name the file system knows the surveyed file by: its final path, or the literal path when
// that could not be told. Two spellings of one file give one key.
WideText FileKey(const BootView& view, const WideText& path);
