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

template <typename Char>
size_t Length(const Char* text) {
    size_t length = 0;
    while (text[length] != 0) {
        ++length;
    }
    return length;
}

// The filter list: pairs of NUL-terminated texts, closed by an empty one.
template <typename Char>
std::optional<std::basic_string<Char>> FilterOf(const Char* filter) {
    if (!filter) {
        return std::nullopt;
    }
    size_t length = 0;
    while (filter[length] != 0 || filter[length + 1] != 0) {
        ++length;
    }
    return std::basic_string<Char>(filter, length + 2);
}

template <typename Char>
std::optional<std::basic_string<Char>> OptionalText(const Char* text) {
    return text ? std::optional<std::basic_string<Char>>(text) : std::nullopt;
}

template <typename Char>
std::basic_string<Char> ResourceText(const Char* name) {
    if (IS_INTRESOURCE(name)) {
        const std::string number = "#" + Num(LOWORD(name));
        return std::basic_string<Char>(number.begin(), number.end());
    }
    return name;
}

template <typename Char, typename Record>
BasicOpenFileRequest<Char> DescribeRecord(const Record& record) {
    BasicOpenFileRequest<Char> request;
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

// Texts for the log: ANSI as their bytes, UTF-16 as UTF-8.
std::string LogText(const std::string& text) {
    return text;
}
std::string LogText(const std::u16string& text) {
    return Wtf8(text);
}

template <typename Char>
std::vector<std::string> LogArgs(const BasicOpenFileRequest<Char>& request) {
    auto optional = [](const std::optional<std::basic_string<Char>>& text) {
        return text ? LogText(*text) : "NULL";
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
template <typename Char>
bool HoldsSeveralFiles(const std::basic_string<Char>& buffer) {
    const size_t end = buffer.find(std::basic_string<Char>(2, 0));
    return buffer.substr(0, end).find(Char(0)) != std::basic_string<Char>::npos;
}

// Where the file name and its extension begin, as the dialog reports them.
template <typename Char, typename Record>
void SetOffsets(Record& record, const std::basic_string<Char>& buffer) {
    using String = std::basic_string<Char>;
    if (HoldsSeveralFiles(buffer)) {
        record.nFileOffset = static_cast<WORD>(buffer.find(Char(0)) + 1);
        record.nFileExtension = 0;
        return;
    }
    const String path = buffer.substr(0, buffer.find(Char(0)));
    const size_t slash = path.rfind(Char('\\'));
    const size_t name = slash == String::npos ? 0 : slash + 1;
    const size_t dot = path.rfind(Char('.'));
    record.nFileOffset = static_cast<WORD>(name);
    record.nFileExtension =
        static_cast<WORD>(dot != String::npos && dot >= name ? dot + 1 : path.size());
}

// Converts a dialog buffer piece by piece, each NUL kept, as the dialog converts its names for
// the other character set.
template <typename From, typename To, typename Convert>
std::basic_string<To> ConvertPieces(const std::basic_string<From>& buffer, Convert convert) {
    std::basic_string<To> converted;
    size_t start = 0;
    while (start <= buffer.size()) {
        size_t nul = buffer.find(From(0), start);
        if (nul == std::basic_string<From>::npos) {
            nul = buffer.size();
        }
        converted += convert(buffer.substr(start, nul - start));
        if (nul < buffer.size()) {
            converted += To(0);
        }
        start = nul + 1;
    }
    return converted;
}

std::string ChosenBuffer(const Action& choice, const std::string*) {
    if (!choice.wideFileBuffer) {
        return choice.fileBuffer;
    }
    return ConvertPieces<char16_t, char>(*choice.wideFileBuffer, AnsiOfWide);
}

std::u16string ChosenBuffer(const Action& choice, const std::u16string*) {
    if (choice.wideFileBuffer) {
        return *choice.wideFileBuffer;
    }
    return ConvertPieces<char, char16_t>(choice.fileBuffer, WideOfAnsi);
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

namespace {

// Both dialogs: the record checks of the platform, then the scripted answer.
template <typename Char, typename Record>
BOOL RunOpenFileDialog(const char* function, Record* record, DWORD versionSize,
                       std::optional<BasicOpenFileRequest<Char>>& last) {
    using String = std::basic_string<Char>;
    if (!record) {
        LogCall(function, {"NULL"});
        return Refuse(CDERR_INITIALIZATION);
    }
    BasicOpenFileRequest<Char> request = DescribeRecord<Char>(*record);
    LogCall(function, LogArgs(request));
    last = request;

    // Requests the platform refuses before any dialog is shown.
    if (record->lStructSize != sizeof(Record) && record->lStructSize != versionSize) {
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
    const String buffer = ChosenBuffer(*choice, static_cast<const String*>(nullptr));
    if (!(record->Flags & OFN_ALLOWMULTISELECT) && HoldsSeveralFiles(buffer)) {
        Abort("a single-selection open-file dialog cannot return several files");
    }
    if (buffer.size() > record->nMaxFile) {
        // The dialog reports the size it would need in the buffer's first two bytes.
        if (record->nMaxFile * sizeof(Char) >= 2) {
            const WORD needed = static_cast<WORD>(buffer.size());
            std::memcpy(record->lpstrFile, &needed, sizeof needed);
        }
        return Refuse(FNERR_BUFFERTOOSMALL);
    }
    std::memcpy(record->lpstrFile, buffer.data(), buffer.size() * sizeof(Char));
    SetOffsets(*record, buffer);
    S().commDlgError = 0;
    return TRUE;
}

}  // namespace

BOOL GetOpenFileNameA(LPOPENFILENAMEA record) {
    return RunOpenFileDialog<char>("GetOpenFileNameA", record, OPENFILENAME_SIZE_VERSION_400A,
                                   S().lastOpenFile);
}

BOOL GetOpenFileNameW(LPOPENFILENAMEW record) {
    return RunOpenFileDialog<char16_t>("GetOpenFileNameW", record, OPENFILENAME_SIZE_VERSION_400W,
                                       S().lastOpenFileW);
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
