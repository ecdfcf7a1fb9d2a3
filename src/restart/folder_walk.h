#pragma once

// Walking a folder row's folder as the boot will meet it: in the native view, never through a
// link, every entry surveyed and decided as a file row is.

#include <functional>
#include <optional>
#include <vector>

#include "restart/boot_survey.h"
#include "restart/folder_rules.h"
#include "runtime/text.h"

// The system's own folders on this system, as its environment names them.
SystemFolders SystemFoldersNow();

// The folder itself first, then every entry below it; a refused folder is not walked further,
// and a system folder not at all. listedLocation is where the folder was when its row was
// listed. checked is called after each entry with the number of entries so far, and pumps.
std::vector<FolderEntry> WalkFolder(BootSurvey& survey, const WideText& folder,
                                    const std::optional<WideText>& listedLocation,
                                    const SystemFolders& system,
                                    const std::function<void(size_t checked)>& checked);
