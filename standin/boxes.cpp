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

size_t Length(const char16_t* text) {
    size_t length = 0;
    while (text[length] != 0) {
        ++length;
    }
    return length;
}

// The filter list: pairs of NUL-terminated texts, closed by an empty one.
std::optional<std::u16string> FilterOf(const char16_t* filter) {
    if (!filter) {
        return std::nullopt;
    }
    size_t length = 0;
    while (filter[length] != 0 || filter[length + 1] != 0) {
        ++length;
    }
    return std::u16string(filter, length + 2);
}

std::optional<std::u16string> OptionalText(const char16_t* text) {
    return text ? std::optional<std::u16string>(text) : std::nullopt;
}

std::u16string ResourceText(const char16_t* name) {
    if (IS_INTRESOURCE(name)) {
        const std::string number = "#" + Num(LOWORD(name));
        return std::u16string(number.begin(), number.end());
    }
    return name;
}

OpenFileRequestW DescribeRecord(const OPENFILENAMEW& record) {
    OpenFileRequestW request;
    request.structSize = record.lStructSize;
    request.owner = record.hwndOwner;
    request.instance = record.hInstance;
    request.filter = FilterOf(record.lpstrFilter);
    request.hasCustomFilter = record.lpstrCustomFilter != nullptr;
    request.maxCustomFilter = record.nMaxCustFilter;
    request.filterIndex = record.nFilterIndex;
    request.maxFile = record.nMaxFile;
    request.fileBufferZeroed = record.lpstrFile != nullptr;
    for (DWORD i = 0; record.lpstrFile && i < record.nMaxFile; ++i) {
        if (record.lpstrFile[i] != 0) {
            request.fileBufferZeroed = false;
            break;
        }
    }
    if (record.lpstrFileTitle) {
        request.fileTitleLength = Length(record.lpstrFileTitle);
    }
    request.maxFileTitle = record.nMaxFileTitle;
    request.initialDirectory = OptionalText(record.lpstrInitialDir);
    request.title = OptionalText(record.lpstrTitle);
    request.flags = record.Flags;
    request.defaultExtension = OptionalText(record.lpstrDefExt);
    request.customData = record.lCustData;
    request.hasHook = record.lpfnHook != nullptr;
    if (record.lpTemplateName) {
        request.templateName = ResourceText(record.lpTemplateName);
    }
    return request;
}

// Texts for the log as UTF-8.
std::vector<std::string> LogArgs(const OpenFileRequestW& request) {
    auto optional = [](const std::optional<std::u16string>& text) {
        return text ? Wtf8(*text) : "NULL";
    };
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
bool HoldsSeveralFiles(const std::u16string& buffer) {
    const size_t end = buffer.find(std::u16string(2, 0));
    return buffer.substr(0, end).find(u'\0') != std::u16string::npos;
}

// Where the file name and its extension begin, as the dialog reports them.
void SetOffsets(OPENFILENAMEW& record, const std::u16string& buffer) {
    if (HoldsSeveralFiles(buffer)) {
        record.nFileOffset = static_cast<WORD>(buffer.find(u'\0') + 1);
        record.nFileExtension = 0;
        return;
    }
    const std::u16string path = buffer.substr(0, buffer.find(u'\0'));
    const size_t slash = path.rfind(u'\\');
    const size_t name = slash == std::u16string::npos ? 0 : slash + 1;
    const size_t dot = path.rfind(u'.');
    record.nFileOffset = static_cast<WORD>(name);
    record.nFileExtension =
        static_cast<WORD>(dot != std::u16string::npos && dot >= name ? dot + 1 : path.size());
}

// An answer given in ANSI bytes reaches the dialog converted piece by piece, each NUL kept.
std::u16string ChosenBuffer(const Action& choice) {
    if (choice.wideFileBuffer) {
        return *choice.wideFileBuffer;
    }
    const std::string& buffer = choice.fileBuffer;
    std::u16string converted;
    size_t start = 0;
    while (start <= buffer.size()) {
        size_t nul = buffer.find('\0', start);
        if (nul == std::string::npos) {
            nul = buffer.size();
        }
        converted += WideOfAnsi(buffer.substr(start, nul - start));
        if (nul < buffer.size()) {
            converted += u'\0';
        }
        start = nul + 1;
    }
    return converted;
}

BOOL Refuse(DWORD error) {
    S().commDlgError = error;
    return FALSE;
}

// The next script action answers the box.
int AnswerTheBox(const std::u16string& shown) {
    if (S().script.empty() || S().script.front().kind != ActionKind::AnswerBox) {
        Abort("unexpected message box \"" + Utf8(shown) + "\"" + NextActionNote());
    }
    std::optional<Action> answer = TakeAction(ActionKind::AnswerBox);
    if (answer->expectedWide && *answer->expectedWide != shown) {
        Abort("message box shows \"" + Utf8(shown) + "\", the script expected \"" +
              Utf8(*answer->expectedWide) + "\"");
    }
    if (answer->expectedText && Widen(CP_ACP, *answer->expectedText) != shown) {
        Abort("message box shows \"" + Utf8(shown) + "\", the script expected \"" +
              *answer->expectedText + "\"");
    }
    return answer->boxResult;
}

}  // namespace

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    LogCall("MessageBoxW", {Win(owner), WideArg(text), WideArg(caption), Unsigned(type)});
    CheckCallOutsideLock("MessageBoxW");
    return AnswerTheBox(text ? std::u16string(text) : std::u16string());
}

// The record checks of the platform, then the scripted answer.
BOOL GetOpenFileNameW(LPOPENFILENAMEW record) {
    if (!record) {
        LogCall("GetOpenFileNameW", {"NULL"});
        return Refuse(CDERR_INITIALIZATION);
    }
    const OpenFileRequestW request = DescribeRecord(*record);
    LogCall("GetOpenFileNameW", LogArgs(request));
    S().lastOpenFileW = request;

    // Requests the platform refuses before any dialog is shown.
    if (record->lStructSize != sizeof(OPENFILENAMEW) &&
        record->lStructSize != OPENFILENAME_SIZE_VERSION_400W) {
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
    const std::u16string buffer = ChosenBuffer(*choice);
    if (!(record->Flags & OFN_ALLOWMULTISELECT) && HoldsSeveralFiles(buffer)) {
        Abort("a single-selection open-file dialog cannot return several files");
    }
    if (buffer.size() > record->nMaxFile) {
        // The dialog reports the size it would need in the buffer's first two bytes.
        if (record->nMaxFile * sizeof(char16_t) >= 2) {
            const WORD needed = static_cast<WORD>(buffer.size());
            std::memcpy(record->lpstrFile, &needed, sizeof needed);
        }
        return Refuse(FNERR_BUFFERTOOSMALL);
    }
    std::memcpy(record->lpstrFile, buffer.data(), buffer.size() * sizeof(char16_t));
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
