#include "restart/boot_survey.h"

#include "paths/exact_names.h"
#include "paths/literal_forms.h"
#include "paths/native_view.h"
#include "paths/sysnative.h"
#include "pending/pending_value.h"
#include "runtime/wide_text.h"
#include "state/app_state.h"

namespace {

// The longest path Windows can name, in UTF-16 code units, and its terminator.
constexpr DWORD kFinalPathRoom = 32768;

// Reads the file's own attributes, reparse tag and, when asked, number of names into view. A
// file whose attributes cannot be read, or that is a reparse point whose tag cannot, is told so:
// it may be a link.
void ReadAttributes(HANDLE file, BootView& view, OtherNames otherNames) {
    FILE_ATTRIBUTE_TAG_INFO tag{};
    DWORD attributes = 0;
    if (GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag)) {
        attributes = tag.FileAttributes;
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            view.reparseTag = tag.ReparseTag;
            view.attributesUnknown = tag.ReparseTag == 0;
        }
    } else {
        BY_HANDLE_FILE_INFORMATION info{};
        if (!GetFileInformationByHandle(file, &info)) {
            view.attributesUnknown = true;
            return;
        }
        attributes = info.dwFileAttributes;
        view.attributesUnknown = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    }
    view.folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    view.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    // Which file it is, for what is done to it by handle later: its attribute, or its listing.
    if (view.readOnly || view.folder) {
        const std::optional<FileIdentity> identity = IdentityOf(file);
        view.attributesUnknown = view.attributesUnknown || !identity;
        view.identity = identity.value_or(FileIdentity{});
    }
    FILE_STANDARD_INFO standard{};
    if (otherNames == OtherNames::kCounted &&
        GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard)) {
        view.linkCount = standard.NumberOfLinks;
    }
}

bool TouchedByRenames(const BootSurvey& survey, const OrdinaryPath& path, Wanted wanted) {
    return wanted == Wanted::kFolder ? RenameTouchesFolder(survey.renamed, path, FileSystemCase())
                                     : RenameTouchesFile(survey.renamed, path, FileSystemCase());
}

}  // namespace

BootSurvey BeginBootSurvey() {
    BootSurvey survey;
    survey.volumes = NewVolumeCache();
    PendingValues values;
    survey.pendingUnrecognised = !ReadPendingValues(values);
    survey.pendingBytes = ValueBytes(values);
    survey.renamed = RenamedNamesOf(values, survey.spellings, survey.volumes, FileSystemCase());
    survey.system = OpenSystemAccessCheck();
    survey.finalPathRoom.assign(kFinalPathRoom, u'\0');
    return survey;
}

void EndBootSurvey(BootSurvey& survey) {
    CloseSystemAccessCheck(survey.system);
    survey = BootSurvey();
}

BootView SurveyRow(BootSurvey& survey, const OrdinaryPath& path,
                   const std::optional<LiteralPath>& listedLocation, OtherNames otherNames,
                   Wanted wanted) {
    BootView view;
    view.pendingUnrecognised = survey.pendingUnrecognised;
    const std::optional<VolumeFacts> named = VolumeOf(survey.volumes, path);
    if (named) {
        view.namedDrive = *named;
    }
    const LiteralPath literal = LiteralFormOf(path);
    // The boot has no Sysnative folder, though some systems keep the alias with redirection off.
    if (literal.empty() ||
        (UnderWow64() && IsInSysnative(path.text, g_app.wow64.windowsDirectory))) {
        return view;
    }
    HANDLE file = InNativeView([&] { return OpenToAsk(literal); }, INVALID_HANDLE_VALUE);
    if (file == INVALID_HANDLE_VALUE) {
        return view;
    }
    view.exists = true;
    ReadAttributes(file, view, otherNames);
    const DWORD length = GetFinalPathNameByHandleW(file, WideData(survey.finalPathRoom),
                                                   kFinalPathRoom, kFinalPathFlags);
    const DWORD finalPathError = length == 0 ? GetLastError() : ERROR_SUCCESS;
    // Which file it is, when the path the system reports for it is spelt otherwise than the row:
    // that path must lead back to it.
    const std::u16string_view reported(survey.finalPathRoom.data(),
                                       length < kFinalPathRoom ? length : 0);
    const std::optional<FileIdentity> identity =
        reported.empty() || SameFoldedName(reported, literal.text, FileSystemCase())
            ? std::nullopt
            : IdentityOf(file);
    CloseHandle(file);
    // Nothing, or no path with a drive letter: a volume the boot has no name for.
    const LiteralPath finalLiteral{WideText(reported)};
    // A folder on the way re-pointed since the row was listed (replaced by a junction, say) leads
    // to another file; a link the user chose when listing it still leads where it did.
    view.movedSinceListing = MovedSinceListing(listedLocation, finalLiteral, FileSystemCase());
    // Wine reports "a\foo" for "a\foo.": a path that leads to another file is none of this one.
    view.location = identity && !LeadsTo(finalLiteral, *identity) ? LiteralPath{} : finalLiteral;
    const std::optional<OrdinaryPath> finalPath = OrdinaryFormOf(finalLiteral);
    if (finalPath) {
        view.finalDrive = VolumeOf(survey.volumes, *finalPath);
        if (view.finalDrive && !view.finalDrive->share) {
            view.finalDrive = VolumeOfFile(survey.volumes, *finalPath, literal, *view.finalDrive);
        }
    } else if (length == 0 && finalPathError != ERROR_PATH_NOT_FOUND) {
        // The system tells a volume without a drive letter by ERROR_PATH_NOT_FOUND. Any other
        // failure (Wine reports no final path longer than MAX_PATH) leaves the file where the
        // letter typed puts it, which is all that can be told.
        view.finalDrive = view.namedDrive;
    }
    // Both forms the file is reached by, each compared with the renames' names in its own form.
    view.renameConflict = TouchedByRenames(survey, path, wanted) ||
                          (finalPath && TouchedByRenames(survey, *finalPath, wanted));
    // Asked of folders too: a folder row's folder and those inside it are deleted as files are.
    view.systemMayDelete =
        SystemMayDelete(survey.system, finalLiteral.empty() ? literal : finalLiteral);
    return view;
}
