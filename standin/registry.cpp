// The registry: keys by path and their values as type and bytes, in memory. Only keys opened
// from HKEY_LOCAL_MACHINE are modelled, as the program opens them. Key paths and value names are
// compared with ASCII letter case ignored, as the registry compares them.

#include <cstring>
#include <optional>

#include "internal.h"

namespace standin {
namespace detail {

namespace {

constexpr uintptr_t kKeyBase = 0x500000;
constexpr uintptr_t kKeyStep = 0x10;
constexpr uintptr_t kKeyRange = 0x100000;
const char kMachineRoot[] = "HKEY_LOCAL_MACHINE";

HKEY KeyHandle(size_t index) {
    return reinterpret_cast<HKEY>(kKeyBase + index * kKeyStep);
}

// The index a handle of KeyHandle's stands for; nothing for any other value.
std::optional<size_t> KeyIndex(HKEY key) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(key);
    if (value < kKeyBase || value >= kKeyBase + kKeyRange || (value - kKeyBase) % kKeyStep != 0) {
        return std::nullopt;
    }
    return (value - kKeyBase) / kKeyStep;
}

OpenKeyRecord* FindOpenKey(HKEY key) {
    const std::optional<size_t> index = KeyIndex(key);
    std::vector<OpenKeyRecord>& keys = S().openKeys;
    return index && *index < keys.size() && !keys[*index].closed ? &keys[*index] : nullptr;
}

std::string KeyName(HKEY key) {
    if (key == HKEY_LOCAL_MACHINE) {
        return kMachineRoot;
    }
    if (const std::optional<size_t> index = KeyIndex(key)) {
        return "key:" + Num(static_cast<long long>(*index + 1));
    }
    return Pointer(key);
}

// A harness path: "HKLM\..." or "HKEY_LOCAL_MACHINE\...".
std::string HarnessPath(const std::string& key) {
    const std::string folded = FoldCase(key);
    if (folded.rfind("hklm\\", 0) == 0) {
        return kMachineRoot + key.substr(4);
    }
    if (folded.rfind("hkey_local_machine\\", 0) == 0) {
        return key;
    }
    Abort("registry path " + key + ": only HKLM is modelled");
}

RegistryKeyRecord& CreateKey(const std::string& path) {
    return S().registry[FoldCase(path)];
}

// Keys are never deleted, so an open key's values are always there.
RegistryKeyRecord& KeyOf(const OpenKeyRecord& open) {
    return S().registry.at(FoldCase(open.path));
}

// The next scripted answer for a write; ERROR_SUCCESS lets it happen.
LONG NextWriteAnswer() {
    std::deque<LONG>& answers = S().registryWriteAnswers;
    if (answers.empty()) {
        return ERROR_SUCCESS;
    }
    const LONG answer = answers.front();
    answers.pop_front();
    return answer;
}

std::string NameOf(LPCWSTR name) {
    return name ? Wtf8(name) : std::string();
}

}  // namespace

void SetValue(const std::string& keyPath, const std::string& name, DWORD type,
              const std::string& bytes) {
    CreateKey(keyPath).values[FoldCase(name)] = RegistryValueRecord{type, bytes};
}

const RegistryValueRecord* FindValue(const std::string& keyPath, const std::string& name) {
    auto key = S().registry.find(FoldCase(keyPath));
    if (key == S().registry.end()) {
        return nullptr;
    }
    auto value = key->second.values.find(FoldCase(name));
    return value != key->second.values.end() ? &value->second : nullptr;
}

void ResetRegistry() {
    S().registry.clear();
    CreateKey(kSessionManager);
    S().registryWriteAnswers.clear();
    S().readAnswersArmed = false;
    S().readsLeft = 0;
}

void CheckRegistryEndOfRun() {
    const std::vector<OpenKeyRecord>& keys = S().openKeys;
    for (size_t i = 0; i < keys.size(); ++i) {
        if (!keys[i].closed) {
            Fail("registry key:" + Num(static_cast<long long>(i + 1)) + " (" + keys[i].path +
                 ") was left open");
        }
    }
}

}  // namespace detail

using namespace detail;

void SetRegistryValue(const std::string& key, const std::string& name, DWORD type,
                      const std::string& bytes) {
    SetValue(HarnessPath(key), name, type, bytes);
}

std::optional<RegistryValue> GetRegistryValue(const std::string& key, const std::string& name) {
    const RegistryValueRecord* found = FindValue(HarnessPath(key), name);
    return found ? std::optional<RegistryValue>(RegistryValue{found->type, found->bytes})
                 : std::nullopt;
}

void AnswerRegistryReadsAfterNextWrite(LONG answer, size_t reads) {
    S().readAnswerAfterWrite = answer;
    S().readsAfterWrite = reads;
    S().readAnswersArmed = reads > 0;
    S().readsLeft = 0;
}

void AnswerRegistryWrites(std::vector<LONG> answers) {
    S().registryWriteAnswers.assign(answers.begin(), answers.end());
}

}  // namespace standin

using namespace standin;
using namespace standin::detail;

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM access, PHKEY result) {
    LogCall("RegOpenKeyExW", {KeyName(key), WideArg(subKey), Unsigned(access)});
    if (!result) {
        return ERROR_INVALID_PARAMETER;
    }
    *result = nullptr;
    if (key != HKEY_LOCAL_MACHINE) {
        Abort("RegOpenKeyExW: the stand-in opens keys from HKEY_LOCAL_MACHINE only");
    }
    const std::string path = std::string(kMachineRoot) + "\\" + NameOf(subKey);
    if (S().registry.count(FoldCase(path)) == 0) {
        return ERROR_FILE_NOT_FOUND;
    }
    S().openKeys.push_back(OpenKeyRecord{path, access, false});
    *result = KeyHandle(S().openKeys.size() - 1);
    return ERROR_SUCCESS;
}

// As the registry answers: the size alone without a buffer, ERROR_MORE_DATA and the size needed
// when the buffer is too small (its bytes then undefined: left as they were), the type either way.
LONG RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size) {
    LogCall("RegQueryValueExW", {KeyName(key), WideArg(name), data ? "buffer" : "NULL",
                                 size ? Unsigned(*size) : "NULL"});
    const OpenKeyRecord* open = FindOpenKey(key);
    if (!open) {
        return ERROR_INVALID_HANDLE;
    }
    if (data && !size) {
        return ERROR_INVALID_PARAMETER;
    }
    if (!(open->access & KEY_QUERY_VALUE)) {
        return ERROR_ACCESS_DENIED;
    }
    const RegistryValueRecord* value = FindValue(open->path, NameOf(name));
    if (!value) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (type) {
        *type = value->type;
    }
    if (!size) {
        return ERROR_SUCCESS;
    }
    const DWORD needed = static_cast<DWORD>(value->bytes.size());
    const DWORD room = *size;
    *size = needed;
    if (!data) {
        return ERROR_SUCCESS;
    }
    if (room < needed) {
        return ERROR_MORE_DATA;
    }
    if (S().readsLeft > 0) {
        --S().readsLeft;
        return S().readAnswer;
    }
    std::memcpy(data, value->bytes.data(), needed);
    return ERROR_SUCCESS;
}

LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
    LogCall("RegSetValueExW", {KeyName(key), WideArg(name), Unsigned(type), Unsigned(size)});
    const OpenKeyRecord* open = FindOpenKey(key);
    if (!open) {
        return ERROR_INVALID_HANDLE;
    }
    if (!data && size != 0) {
        return ERROR_INVALID_PARAMETER;
    }
    if (!(open->access & KEY_SET_VALUE)) {
        return ERROR_ACCESS_DENIED;
    }
    if (const LONG answer = NextWriteAnswer(); answer != ERROR_SUCCESS) {
        return answer;
    }
    KeyOf(*open).values[FoldCase(NameOf(name))] =
        RegistryValueRecord{type, std::string(reinterpret_cast<const char*>(data), size)};
    if (S().readAnswersArmed) {
        S().readAnswersArmed = false;
        S().readAnswer = S().readAnswerAfterWrite;
        S().readsLeft = S().readsAfterWrite;
    }
    return ERROR_SUCCESS;
}

LONG RegDeleteValueW(HKEY key, LPCWSTR name) {
    LogCall("RegDeleteValueW", {KeyName(key), WideArg(name)});
    const OpenKeyRecord* open = FindOpenKey(key);
    if (!open) {
        return ERROR_INVALID_HANDLE;
    }
    if (!(open->access & KEY_SET_VALUE)) {
        return ERROR_ACCESS_DENIED;
    }
    if (const LONG answer = NextWriteAnswer(); answer != ERROR_SUCCESS) {
        return answer;
    }
    if (KeyOf(*open).values.erase(FoldCase(NameOf(name))) == 0) {
        return ERROR_FILE_NOT_FOUND;
    }
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    LogCall("RegCloseKey", {KeyName(key)});
    OpenKeyRecord* open = FindOpenKey(key);
    if (!open) {
        return ERROR_INVALID_HANDLE;
    }
    open->closed = true;
    return ERROR_SUCCESS;
}

// The current user's keys are not modelled: no native test opens the window menu's right-click
// item, and a test that does should model them first.
LONG RegGetValueW(HKEY, LPCWSTR subKey, LPCWSTR, DWORD, LPDWORD, PVOID, LPDWORD) {
    Abort("RegGetValueW " + NameOf(subKey) + ": the stand-in models no keys of the current user");
}

LONG RegCreateKeyExW(HKEY, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES,
                     PHKEY, LPDWORD) {
    Abort("RegCreateKeyExW " + NameOf(subKey) +
          ": the stand-in models no keys of the current user");
}

LONG RegDeleteKeyW(HKEY, LPCWSTR subKey) {
    Abort("RegDeleteKeyW " + NameOf(subKey) + ": the stand-in models no keys of the current user");
}
