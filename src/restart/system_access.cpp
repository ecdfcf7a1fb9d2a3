#include "restart/system_access.h"

#include <cstring>
#include <iterator>
#include <vector>

#include "paths/native_view.h"
#include "runtime/wide_text.h"

namespace {

// The well-known SYSTEM account, S-1-5-18: revision 1, one sub-authority, the NT authority (5),
// and 18.
constexpr BYTE kSystemSid[] = {1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};

// The groups of the token the boot deletes with: Everyone (S-1-1-0), Authenticated Users
// (S-1-5-11), Administrators (S-1-5-32-544), and the System integrity level (S-1-16-16384).
constexpr DWORD kGroupEnabled = 0x4 | 0x1 | 0x2;  // enabled, mandatory, enabled by default
constexpr DWORD kGroupIntegrity = 0x20 | 0x40;    // integrity, integrity enabled
constexpr size_t kLongestGroupSid = 16;
struct GroupSid {
    BYTE sid[kLongestGroupSid];
    size_t length;
    DWORD attributes;
};
constexpr GroupSid kBootGroups[] = {
    {{1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}, 12, kGroupEnabled},
    {{1, 1, 0, 0, 0, 0, 0, 5, 11, 0, 0, 0}, 12, kGroupEnabled},
    {{1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 2, 0, 0}, 16, kGroupEnabled},
    {{1, 1, 0, 0, 0, 0, 0, 16, 0, 0x40, 0, 0}, 12, kGroupIntegrity},
};

// The rights whose grant lets SYSTEM delete a file: DELETE on it, or FILE_DELETE_CHILD on its
// folder. MAXIMUM_ALLOWED asks for every right granted.
constexpr DWORD kDeleteRight = 0x00010000;
constexpr DWORD kDeleteChildRight = 0x00000040;
constexpr DWORD kMaximumAllowed = 0x02000000;
constexpr DWORD kNoAudit = 0x1;
// Owner, group and DACL: what an access check reads.
constexpr DWORD kSecurityParts = 0x1 | 0x2 | 0x4;

}  // namespace

SystemAccessCheck OpenSystemAccessCheck() {
    SystemAccessCheck check;
    if (!LoadAuthzCalls(check.calls)) {
        return check;
    }
    if (!check.calls.initializeResourceManager(kNoAudit, nullptr, nullptr, nullptr, nullptr,
                                               &check.resourceManager)) {
        check.resourceManager = nullptr;
        return check;
    }
    BYTE sid[sizeof kSystemSid];
    std::memcpy(sid, kSystemSid, sizeof sid);
    void* bare = nullptr;
    if (!check.calls.initializeContextFromSid(0, sid, check.resourceManager, nullptr,
                                              AuthzLuid{0, 0}, nullptr, &bare)) {
        return check;
    }
    // A context from the SID alone may lack the groups of the boot's own token; asked without
    // them, a file only Administrators may delete would be refused though the boot deletes it.
    BYTE groupSids[std::size(kBootGroups)][kLongestGroupSid];
    AuthzSidAndAttributes groups[std::size(kBootGroups)];
    for (size_t i = 0; i < std::size(kBootGroups); ++i) {
        std::memcpy(groupSids[i], kBootGroups[i].sid, kBootGroups[i].length);
        groups[i] = {groupSids[i], kBootGroups[i].attributes};
    }
    if (!check.calls.addSidsToContext(bare, groups, static_cast<DWORD>(std::size(groups)), nullptr,
                                      0, &check.context)) {
        check.context = nullptr;
    }
    check.calls.freeContext(bare);
    return check;
}

namespace {

// The rights SYSTEM is granted on a file or folder; nothing when they cannot be told.
std::optional<DWORD> SystemRights(const SystemAccessCheck& check, const WideText& literal) {
    const GetFileSecurityCall getSecurity = check.calls.getFileSecurity;
    DWORD needed = 0;
    InNativeView([&] { return getSecurity(WideC(literal), kSecurityParts, nullptr, 0, &needed); },
                 FALSE);
    if (needed == 0) {
        return std::nullopt;
    }
    std::vector<BYTE> descriptor(needed);
    if (!InNativeView(
            [&] {
                return getSecurity(WideC(literal), kSecurityParts, descriptor.data(), needed,
                                   &needed);
            },
            FALSE)) {
        return std::nullopt;
    }
    AuthzAccessRequest request{kMaximumAllowed, nullptr, nullptr, 0, nullptr};
    DWORD granted = 0;
    DWORD error = 0;
    AuthzAccessReply reply{1, &granted, nullptr, &error};
    if (!check.calls.accessCheck(0, check.context, &request, nullptr, descriptor.data(), nullptr, 0,
                                 &reply, nullptr)) {
        return std::nullopt;
    }
    return granted;
}

}  // namespace

std::optional<bool> SystemMayDelete(const SystemAccessCheck& check, const LiteralPath& path) {
    const WideText& literal = path.text;
    if (check.context == nullptr) {
        return std::nullopt;
    }
    const size_t separator = literal.find_last_of(u'\\');
    if (separator == WideText::npos) {
        return std::nullopt;
    }
    const std::optional<DWORD> onFile = SystemRights(check, literal);
    if (onFile && (*onFile & kDeleteRight) != 0) {
        return true;
    }
    // The folder's literal form keeps its final "\" when it is a drive's root.
    const bool root = separator > 0 && literal[separator - 1] == u':';
    const std::optional<DWORD> onFolder =
        SystemRights(check, literal.substr(0, root ? separator + 1 : separator));
    if (!onFile || !onFolder) {
        return std::nullopt;
    }
    return (*onFolder & kDeleteChildRight) != 0;
}

void CloseSystemAccessCheck(SystemAccessCheck& check) {
    if (check.context != nullptr) {
        check.calls.freeContext(check.context);
    }
    if (check.resourceManager != nullptr) {
        check.calls.freeResourceManager(check.resourceManager);
    }
    ReleaseAuthzCalls(check.calls);
    check = SystemAccessCheck{};
}
