#pragma once

// Asking the system what the boot will see of each row of one restart run. What every row shares
// is asked once, when the run begins: the renames pending before the run's deletions, each
// drive's kind, SYSTEM's security context. The rest is asked once per row, into one BootView.

#include <optional>
#include <string_view>
#include <unordered_map>

#include "platform/win32.h"
#include "restart/boot_view.h"
#include "restart/run_plan.h"
#include "restart/rename_names.h"
#include "restart/system_access.h"
#include "restart/volumes.h"
#include "runtime/path_texts.h"

struct BootSurvey {
    // The renames the boot carries out before the run's deletions, as the run began.
    RenamedNames renamed;
    // A value could not be read whole: its renames are not known, and no row is safe.
    bool pendingUnrecognised = false;
    // The bytes both pending values held as the run began.
    size_t pendingBytes = 0;
    SpelledNames names;
    VolumeCache volumes;
    SystemAccessCheck system;
    // Room for any final path and any volume GUID path, made before any file is opened: nothing
    // is allocated while a handle is open, so that a fatal exit for want of memory leaves none
    // behind.
    WideText finalPathRoom;
    WideText volumePathRoom;
    // Whether each folder asked about tells names apart by case, by its recorded path.
    std::unordered_map<WideText, bool> caseSensitiveFolders;
};

BootSurvey BeginBootSurvey();
void EndBootSurvey(BootSurvey& survey);
// Whether a survey counts the file's names: only a file row says how many others it has, and
// under Wine each question of a file takes about as long as the rest of its survey.
enum class OtherNames { kCounted, kNotCounted };
// What the boot will see of the file or folder the row's path names; listedLocation is the final
// path it had when the row was listed, when that could be told. A folder row's folder is touched
// by the renames that move anything into or out of it too.
BootView SurveyRow(BootSurvey& survey, const OrdinaryPath& path,
                   const std::optional<LiteralPath>& listedLocation, OtherNames otherNames,
                   Wanted wanted);
// Whether the folder a recorded path names ("\??\C:\dir") tells names apart by case
// (FileCaseSensitiveInfo, which only newer systems answer), as the run's plan asks; each folder
// asked once. A folder that cannot be asked compares names as every other does.
CaseSensitiveFolder FolderCaseOf(BootSurvey& survey);
