#pragma once

// SYSTEM's access check, the account the boot deletes with: through authz.dll, looked up at run
// time; where it is missing (Wine, say) or fails, no check is made.

#include <optional>

#include "platform/looked_up.h"
#include "platform/win32.h"
#include "runtime/path_texts.h"

struct SystemAccessCheck {
    AuthzCalls calls;
    void* resourceManager = nullptr;
    void* context = nullptr;
};

SystemAccessCheck OpenSystemAccessCheck();
void CloseSystemAccessCheck(SystemAccessCheck& check);
// Whether SYSTEM may delete the file: DELETE on it or FILE_DELETE_CHILD on its folder; nothing
// when either answer cannot be had.
std::optional<bool> SystemMayDelete(const SystemAccessCheck& check, const LiteralPath& literal);
