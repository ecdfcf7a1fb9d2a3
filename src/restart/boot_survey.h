#pragma once

// Asking the system what the boot will see of each row of one restart run. What every row shares
// is asked once, when the run begins: the renames pending before our deletions, each drive's
// kind, SYSTEM's security context. The rest is asked once per row, into one BootView.

#include <map>
#include <optional>
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
    // Each drive letter's facts, asked at its first row; by upper-case letter.
    std::map<char16_t, VolumeFacts> drives;
    SystemAccessCheck system;
    // Room for any final path, made before any file is opened: nothing is allocated while a
    // handle is open, so that a fatal exit for want of memory leaves none behind.
    WideText finalPathRoom;
};

BootSurvey BeginBootSurvey();
// Every name a pending rename moves from or to, as an ordinary path, read now.
std::vector<WideText> PendingRenameNames();
// What the boot will see of the file the row's UTF-16 path names; listedLocation is the final
// path its file had when the row was listed, when that could be told.
BootView SurveyRow(BootSurvey& survey, const WideText& path,
                   const std::optional<WideText>& listedLocation);
void EndBootSurvey(BootSurvey& survey);
// The name the file system knows the surveyed file by: its final path, or the literal path when
// that could not be told. Two spellings of one file give one key.
WideText FileKey(const BootView& view, const WideText& path);
