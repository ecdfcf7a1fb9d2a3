#include "restart/boot_survey.h"

#include "paths/exact_names.h"
#include "paths/literal_forms.h"
#include "paths/native_view.h"
#include "paths/sysnative.h"
#include "pending/pending_value.h"
#include "runtime/wide_text.h"
#include "state/app_state.h"

namespace {

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
    FILE_STANDARD_INFO standard{};
    if (otherNames == OtherNames::kCounted &&
        GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard)) {
        view.linkCount = standard.NumberOfLinks;
    }
}

// What the one handle of a file said of where it is, in the survey's rooms.
struct WhereAnswers {
    // The final path's length in the final path room; 0 when the system reported none, and why.
    DWORD finalLength = 0;
    DWORD finalError = ERROR_SUCCESS;
    // Which file it is: asked when the reported path is spelt otherwise than the row (it must lead
    // back to the file), and for what is done to the file by handle later (its read-only
    // attribute, a folder's listing).
    std::optional<FileIdentity> identity;
    bool identityAsked = false;
    // The volume GUID path's length in the volume path room, when it was asked: once for each
    // folder of files on a drive.
    bool volumeAsked = false;
    DWORD volumeLength = 0;
};

// The "C:\dir\" of a reported "\\?\C:\dir\name", by which the volume of its files is kept; empty
// for a share, whose volume is never asked.
std::u16string_view DriveFolderOf(std::u16string_view reported) {
    constexpr size_t kVerbatim = 4;
    if (reported.size() <= kVerbatim || RootOf(reported.substr(kVerbatim)) != PathRoot::kDrive) {
        return {};
    }
    return FolderOfFile(reported.substr(kVerbatim));
}

// Asks the open handle where and which the file is, allocating nothing.
WhereAnswers AskWhere(BootSurvey& survey, HANDLE file, const LiteralPath& literal,
                      const BootView& view) {
    WhereAnswers answers;
    const DWORD length = GetFinalPathNameByHandleW(file, WideData(survey.finalPathRoom),
                                                   kLongestPathUnits, kFinalPathFlags);
    answers.finalError = length == 0 ? GetLastError() : ERROR_SUCCESS;
    answers.finalLength = length < kLongestPathUnits ? length : 0;
    const std::u16string_view reported(survey.finalPathRoom.data(), answers.finalLength);
    const bool spelledOtherwise =
        !reported.empty() && !SameFoldedName(reported, literal.text, FileSystemCase());
    if (view.readOnly || view.folder || spelledOtherwise) {
        answers.identityAsked = true;
        answers.identity = IdentityOf(file);
    }
    const std::u16string_view folder = DriveFolderOf(reported);
    if (!folder.empty() && KnownFolderVolume(survey.volumes, folder) == nullptr) {
        answers.volumeAsked = true;
        const DWORD volume = GetFinalPathNameByHandleW(file, WideData(survey.volumePathRoom),
                                                       kLongestPathUnits, kVolumePathFlags);
        answers.volumeLength = volume < kLongestPathUnits ? volume : 0;
    }
    return answers;
}

// Where the file is, from what its handle said: the reported path, whether it leads back to the
// file, and the drive and volume under it.
void ReadPlace(BootSurvey& survey, BootView& view, const LiteralPath& literal,
               const WhereAnswers& answers) {
    ReportedPlace& reported = view.reported;
    reported.path = LiteralPath{WideText(survey.finalPathRoom.data(), answers.finalLength)};
    reported.noLetter = answers.finalLength == 0 && answers.finalError == ERROR_PATH_NOT_FOUND;
    const bool spelledOtherwise =
        !reported.path.empty() && !SameName(reported.path, literal, FileSystemCase());
    reported.leadsBack = !reported.path.empty() && (!spelledOtherwise || !answers.identity ||
                                                    LeadsTo(reported.path, *answers.identity));
    const std::optional<OrdinaryPath> finalPath = OrdinaryFormOf(reported.path);
    if (finalPath) {
        reported.drive = VolumeOf(survey.volumes, *finalPath);
    }
    const std::u16string_view folder = DriveFolderOf(reported.path.text);
    if (answers.volumeAsked) {
        reported.volume = KeepFolderVolume(
            survey.volumes, folder, WideText(survey.volumePathRoom.data(), answers.volumeLength));
    } else if (const std::optional<VolumeFacts>* known =
                   KnownFolderVolume(survey.volumes, folder)) {
        reported.volume = *known;
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
    survey.finalPathRoom.assign(kLongestPathUnits, u'\0');
    survey.volumePathRoom.assign(kLongestPathUnits, u'\0');
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
    view.namedDrive = VolumeOf(survey.volumes, path).value_or(VolumeFacts{});
    const LiteralPath literal = LiteralFormOf(path);
    // The boot has no Sysnative folder, though some systems keep the alias with redirection off.
    if (literal.empty() ||
        (UnderWow64() && IsInSysnative(path.text, g_app.wow64.windowsDirectory))) {
        return view;
    }
    // The file is opened once, and everything the boot will meet of it asked of that handle.
    HANDLE file = InNativeView([&] { return OpenToAsk(literal); }, INVALID_HANDLE_VALUE);
    if (file == INVALID_HANDLE_VALUE) {
        return view;
    }
    view.exists = true;
    ReadAttributes(file, view, otherNames);
    const WhereAnswers answers = AskWhere(survey, file, literal, view);
    CloseHandle(file);
    if ((view.readOnly || view.folder) && !answers.identity) {
        // What is done to it later goes by handle to this very file, which cannot be told.
        view.attributesUnknown = true;
    }
    view.identity = answers.identity.value_or(FileIdentity{});
    ReadPlace(survey, view, literal, answers);
    // A folder on the way re-pointed since the row was listed (replaced by a junction, say) leads
    // to another file; a link the user chose when listing it still leads where it did.
    view.movedSinceListing =
        MovedSinceListing(listedLocation, view.reported.path, FileSystemCase());
    // Both forms the file is reached by, each compared with the renames' names in its own form.
    const std::optional<OrdinaryPath> finalPath = OrdinaryFormOf(view.reported.path);
    view.renameConflict = TouchedByRenames(survey, path, wanted) ||
                          (finalPath && TouchedByRenames(survey, *finalPath, wanted));
    // Asked of folders too: a folder row's folder and those inside it are deleted as files are.
    view.systemMayDelete =
        SystemMayDelete(survey.system, view.reported.path.empty() ? literal : view.reported.path);
    return view;
}
