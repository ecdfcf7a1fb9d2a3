// What the user answers: message boxes and the open-file dialog. Also icons, the common
// controls' initialisation and wsprintfA.

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "internal.h"

using namespace standin;
using namespace standin::detail;

namespace {

std::string ModuleArg(HINSTANCE instance) {
    return instance ? ModuleName(ModuleIndex(instance)) : "NULL";
}

std::string ResourceArg(LPCSTR name) {
    return IS_INTRESOURCE(name) ? Num(LOWORD(name)) : Text(name);
}

std::string NextActionNote() {
    return S().script.empty()
               ? " with an empty script"
               : ", the next script action is: " + DescribeAction(S().script.front());
}

// The filter list: pairs of NUL-terminated texts, closed by an empty one.
std::optional<std::string> FilterBytes(const char* filter) {
    if (!filter) {
        return std::nullopt;
    }
    size_t length = 0;
    while (filter[length] != '\0' || filter[length + 1] != '\0') {
        ++length;
    }
    return std::string(filter, length + 2);
}

std::optional<std::string> OptionalText(const char* text) {
    return text ? std::optional<std::string>(text) : std::nullopt;
}

OpenFileRequest DescribeRecord(const OPENFILENAMEA& record) {
    OpenFileRequest request;
    request.structSize = record.lStructSize;
    request.owner = record.hwndOwner;
    request.instance = record.hInstance;
    request.filter = FilterBytes(record.lpstrFilter);
    request.hasCustomFilter = record.lpstrCustomFilter != nullptr;
    request.maxCustomFilter = record.nMaxCustFilter;
    request.filterIndex = record.nFilterIndex;
    request.maxFile = record.nMaxFile;
    request.fileBufferZeroed = record.lpstrFile != nullptr;
    for (DWORD i = 0; record.lpstrFile && i < record.nMaxFile; ++i) {
        if (record.lpstrFile[i] != '\0') {
            request.fileBufferZeroed = false;
            break;
        }
    }
    if (record.lpstrFileTitle) {
        request.fileTitleLength = std::strlen(record.lpstrFileTitle);
    }
    request.maxFileTitle = record.nMaxFileTitle;
    request.initialDirectory = OptionalText(record.lpstrInitialDir);
    request.title = OptionalText(record.lpstrTitle);
    request.flags = record.Flags;
    request.defaultExtension = OptionalText(record.lpstrDefExt);
    request.customData = record.lCustData;
    request.hasHook = record.lpfnHook != nullptr;
    if (record.lpTemplateName) {
        request.templateName = ResourceArg(record.lpTemplateName);
        if (IS_INTRESOURCE(record.lpTemplateName)) {
            request.templateName = "#" + *request.templateName;
        }
    }
    return request;
}

std::vector<std::string> LogArgs(const OpenFileRequest& request) {
    auto optional = [](const std::optional<std::string>& text) { return text ? *text : "NULL"; };
    return {Unsigned(request.structSize),
            Win(request.owner),
            ModuleArg(request.instance),
            optional(request.filter),
            request.hasCustomFilter ? "set" : "NULL",
            Unsigned(request.maxCustomFilter),
            Unsigned(request.filterIndex),
            Unsigned(request.maxFile),
            request.fileBufferZeroed ? "zeroed" : "not zeroed",
            request.fileTitleLength ? Unsigned(*request.fileTitleLength) : "NULL",
            Unsigned(request.maxFileTitle),
            optional(request.initialDirectory),
            optional(request.title),
            Unsigned(request.flags),
            optional(request.defaultExtension),
            Num(request.customData),
            request.hasHook ? "set" : "NULL",
            optional(request.templateName)};
}

// The selection part of a dialog buffer: everything before the first double NUL.
bool HoldsSeveralFiles(const std::string& buffer) {
    const size_t end = buffer.find(std::string(2, '\0'));
    return buffer.substr(0, end).find('\0') != std::string::npos;
}

// Where the file name and its extension begin, as the dialog reports them.
void SetOffsets(OPENFILENAMEA& record, const std::string& buffer) {
    if (HoldsSeveralFiles(buffer)) {
        record.nFileOffset = static_cast<WORD>(buffer.find('\0') + 1);
        record.nFileExtension = 0;
        return;
    }
    const std::string path = buffer.substr(0, buffer.find('\0'));
    const size_t slash = path.rfind('\\');
    const size_t name = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.rfind('.');
    record.nFileOffset = static_cast<WORD>(name);
    record.nFileExtension =
        static_cast<WORD>(dot != std::string::npos && dot >= name ? dot + 1 : path.size());
}

BOOL Refuse(DWORD error) {
    S().commDlgError = error;
    return FALSE;
}

// The next script action answers the box; bytes is the text of a MessageBoxA, which is compared
// byte for byte with an expected text in the code page.
int AnswerTheBox(const std::u16string& shown, const std::optional<std::string>& bytes) {
    if (S().script.empty() || S().script.front().kind != ActionKind::AnswerBox) {
        Abort("unexpected message box \"" + Utf8(shown) + "\"" + NextActionNote());
    }
    std::optional<Action> answer = TakeAction(ActionKind::AnswerBox);
    if (answer->expectedWide && *answer->expectedWide != shown) {
        Abort("message box shows \"" + Utf8(shown) + "\", the script expected \"" +
              Utf8(*answer->expectedWide) + "\"");
    }
    if (answer->expectedText) {
        const bool same =
            bytes ? *bytes == *answer->expectedText : Widen(CP_ACP, *answer->expectedText) == shown;
        if (!same) {
            Abort("message box shows \"" + (bytes ? *bytes : Utf8(shown)) +
                  "\", the script expected \"" + *answer->expectedText + "\"");
        }
    }
    return answer->boxResult;
}

}  // namespace

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    LogCall("MessageBoxA", {Win(owner), Text(text), Text(caption), Unsigned(type)});
    const std::string shown = text ? text : "";
    return AnswerTheBox(Widen(CP_ACP, shown), shown);
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    LogCall("MessageBoxW", {Win(owner), WideArg(text), WideArg(caption), Unsigned(type)});
    return AnswerTheBox(text ? std::u16string(text) : std::u16string(), std::nullopt);
}

BOOL GetOpenFileNameA(LPOPENFILENAMEA record) {
    if (!record) {
        LogCall("GetOpenFileNameA", {"NULL"});
        return Refuse(CDERR_INITIALIZATION);
    }
    OpenFileRequest request = DescribeRecord(*record);
    LogCall("GetOpenFileNameA", LogArgs(request));
    S().lastOpenFile = request;

    // Requests the platform refuses before any dialog is shown.
    if (record->lStructSize != sizeof(OPENFILENAMEA) &&
        record->lStructSize != OPENFILENAME_SIZE_VERSION_400A) {
        return Refuse(CDERR_STRUCTSIZE);
    }
    if ((record->Flags & OFN_ENABLEHOOK) && !record->lpfnHook) {
        return Refuse(CDERR_NOHOOK);
    }
    if (!record->lpstrFile || record->nMaxFile == 0) {
        return Refuse(CDERR_INITIALIZATION);
    }

    if (std::optional<Action> cancel = TakeAction(ActionKind::CancelFileDialog)) {
        return Refuse(0);
    }
    std::optional<Action> choice = TakeAction(ActionKind::ChooseFiles);
    if (!choice) {
        Abort("unexpected open-file dialog" + NextActionNote());
    }
    const std::string& buffer = choice->fileBuffer;
    if (!(record->Flags & OFN_ALLOWMULTISELECT) && HoldsSeveralFiles(buffer)) {
        Abort("a single-selection open-file dialog cannot return several files");
    }
    if (buffer.size() > record->nMaxFile) {
        // The dialog reports the size it would need in the buffer's first two bytes.
        if (record->nMaxFile >= 2) {
            const WORD needed = static_cast<WORD>(buffer.size());
            std::memcpy(record->lpstrFile, &needed, sizeof needed);
        }
        return Refuse(FNERR_BUFFERTOOSMALL);
    }
    std::memcpy(record->lpstrFile, buffer.data(), buffer.size());
    SetOffsets(*record, buffer);
    S().commDlgError = 0;
    return TRUE;
}

DWORD CommDlgExtendedError() {
    LogCall("CommDlgExtendedError", {});
    return S().commDlgError;
}

HICON LoadIconA(HINSTANCE instance, LPCSTR iconName) {
    LogCall("LoadIconA", {ModuleArg(instance), ResourceArg(iconName)});
    const int id = IS_INTRESOURCE(iconName) ? LOWORD(iconName) : -1;
    if (!instance && id >= 32512 && id <= 32518) {
        return IconHandle(-1, id);  // the system's icons
    }
    if (instance && ModuleIndex(instance) == 0 && id == 129) {
        return IconHandle(0, id);  // IDI_APP, the program's one icon group
    }
    S().lastError = ERROR_RESOURCE_NAME_NOT_FOUND;
    return nullptr;
}

void InitCommonControls() {
    LogCall("InitCommonControls", {});
}

// wsprintfA: %d %i %u %x %X %s %c %% with flags, width and precision; at most 1024 bytes with
// the terminator, as on Windows. Its "l" size prefix is still 32 bits there.
int wsprintfA(LPSTR buffer, LPCSTR format, ...) {
    constexpr size_t kLimit = 1024;
    std::string out;
    va_list args;
    va_start(args, format);
    for (const char* p = format; *p && out.size() < kLimit - 1; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        std::string conversion = "%";
        ++p;
        while (*p == '-' || *p == '0' || *p == '#') {
            conversion += *p++;
        }
        while (*p >= '0' && *p <= '9') {
            conversion += *p++;
        }
        if (*p == '.') {
            conversion += *p++;
            while (*p >= '0' && *p <= '9') {
                conversion += *p++;
            }
        }
        while (*p == 'l' || *p == 'h') {
            ++p;
        }
        char piece[kLimit];
        switch (*p) {
            case 'd':
            case 'i':
                std::snprintf(piece, sizeof piece, (conversion + 'd').c_str(), va_arg(args, int));
                break;
            case 'u':
            case 'x':
            case 'X':
                std::snprintf(piece, sizeof piece, (conversion + *p).c_str(),
                              va_arg(args, unsigned));
                break;
            case 'c':
                std::snprintf(piece, sizeof piece, (conversion + 'c').c_str(), va_arg(args, int));
                break;
            case 's': {
                const char* text = va_arg(args, const char*);
                std::snprintf(piece, sizeof piece, (conversion + 's').c_str(),
                              text ? text : "(null)");
                break;
            }
            case '\0':
                --p;
                piece[0] = '\0';
                break;
            default:
                piece[0] = *p;
                piece[1] = '\0';
                break;
        }
        out += piece;
    }
    va_end(args);
    if (out.size() > kLimit - 1) {
        out.resize(kLimit - 1);
    }
    std::memcpy(buffer, out.c_str(), out.size() + 1);
    return static_cast<int>(out.size());
}
