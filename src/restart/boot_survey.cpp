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

// What a handle said of where its file is, in the survey's rooms.
struct PlaceAnswers {
    // The final path's length in the final path room; 0 when the system reported none, and why.
    DWORD finalLength = 0;
    DWORD finalError = ERROR_SUCCESS;
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

// Asks an open handle where its file is, allocating nothing. With a name, the place asked about
// is that name in the handle's folder.
PlaceAnswers AskPlace(BootSurvey& survey, HANDLE handle, std::u16string_view name = {}) {
    PlaceAnswers answers;
    const DWORD length = GetFinalPathNameByHandleW(handle, WideData(survey.finalPathRoom),
                                                   kLongestPathUnits, kFinalPathFlags);
    answers.finalError = length == 0 ? GetLastError() : ERROR_SUCCESS;
    answers.finalLength = length < kLongestPathUnits ? length : 0;
    const std::u16string_view reported(survey.finalPathRoom.data(), answers.finalLength);
    // A file asks once for each folder; a folder asked for the name of a file in it, always.
    const std::u16string_view folder = DriveFolderOf(reported);
    if (!folder.empty() &&
        (!name.empty() || KnownFolderVolume(survey.volumes, folder) == nullptr)) {
        answers.volumeAsked = true;
        const DWORD volume = GetFinalPathNameByHandleW(handle, WideData(survey.volumePathRoom),
                                                       kLongestPathUnits, kVolumePathFlags);
        answers.volumeLength = volume < kLongestPathUnits ? volume : 0;
    }
    return answers;
}

// The place a handle's answers name (with name after it when there is one): its path, the drive
// and the volume under it. Whether it leads back to the file is the caller's to say.
ReportedPlace PlaceOf(BootSurvey& survey, const PlaceAnswers& answers,
                      std::u16string_view name = {}) {
    ReportedPlace place;
    place.path = LiteralPath{WideText(survey.finalPathRoom.data(), answers.finalLength)};
    place.noLetter = answers.finalLength == 0 && answers.finalError == ERROR_PATH_NOT_FOUND;
    if (!place.path.empty() && !name.empty()) {
        place.path = InFolder(std::move(place.path), name);
    }
    const std::optional<OrdinaryPath> finalPath = OrdinaryFormOf(place.path);
    if (finalPath) {
        place.drive = VolumeOf(survey.volumes, *finalPath);
    }
    const std::u16string_view folder = DriveFolderOf(place.path.text);
    if (answers.volumeAsked) {
        place.volume = KeepFolderVolume(
            survey.volumes, folder, WideText(survey.volumePathRoom.data(), answers.volumeLength));
    } else if (const std::optional<VolumeFacts>* known =
                   KnownFolderVolume(survey.volumes, folder)) {
        place.volume = *known;
    }
    return place;
}

// Where the file is by its folder, when the path the system reports for it does not lead back to
// it (it reports none beyond MAX_PATH under Wine, and "a\foo" for "a\foo."): its folder's final
// path, links on the way followed, and its own name, when that opens this very file.
ReportedPlace FolderPlaceOf(BootSurvey& survey, const LiteralPath& literal,
                            const FileIdentity& identity) {
    LiteralPath folder;
    const std::u16string_view name = NameInFolder(literal, folder);
    HANDLE handle = InNativeView([&] { return OpenFollowing(folder); }, INVALID_HANDLE_VALUE);
    if (handle == INVALID_HANDLE_VALUE) {
        return ReportedPlace();
    }
    const PlaceAnswers answers = AskPlace(survey, handle, name);
    CloseHandle(handle);
    ReportedPlace place = PlaceOf(survey, answers, name);
    place.leadsBack = !place.path.empty() && LeadsTo(place.path, identity);
    return place;
}

bool TouchedByRenames(const BootSurvey& survey, const OrdinaryPath& path, Wanted wanted) {
    return wanted == Wanted::kFolder ? RenameTouchesFolder(survey.renamed, path, FileSystemCase())
                                     : RenameTouchesFile(survey.renamed, path, FileSystemCase());
}

}  // namespace

BootSurvey BeginBootSurvey() {
    BootSurvey survey;
    PendingValues values;
    survey.pendingUnrecognised = !ReadPendingValues(values);
    survey.pendingBytes = ValueBytes(values);
    survey.renamed = RenamedNamesOf(values, survey.names, FileSystemCase());
    // A rename of a name the program cannot place may touch any row.
    survey.pendingUnrecognised = survey.pendingUnrecognised || survey.renamed.unknown;
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
    const PlaceAnswers answers = AskPlace(survey, file);
    const std::u16string_view reported(survey.finalPathRoom.data(), answers.finalLength);
    // Which file it is: for what is done to it by handle later (its read-only attribute, a
    // folder's listing), and when the path reported for it is spelt otherwise than the row, or
    // is none, for the path it is recorded by, which must lead back to it.
    const bool spelledOtherwise =
        reported.empty() || !SameFoldedName(reported, literal.text, FileSystemCase());
    std::optional<FileIdentity> identity;
    if (view.readOnly || view.folder || spelledOtherwise) {
        identity = IdentityOf(file);
    }
    CloseHandle(file);
    if ((view.readOnly || view.folder) && !identity) {
        // What is done to it later goes by handle to this very file, which cannot be told.
        view.attributesUnknown = true;
    }
    view.identity = identity.value_or(FileIdentity{});
    view.reported = PlaceOf(survey, answers);
    view.reported.leadsBack =
        !view.reported.path.empty() &&
        (!spelledOtherwise || (identity && LeadsTo(view.reported.path, *identity)));
    if (!view.reported.leadsBack && identity) {
        view.byFolder = FolderPlaceOf(survey, literal, *identity);
    }
    // A folder on the way re-pointed since the row was listed (replaced by a junction, say) leads
    // to another file; a link the user chose when listing it still leads where it did.
    view.movedSinceListing =
        MovedSinceListing(listedLocation, view.reported.path, FileSystemCase());
    // Both forms the file is reached by, each compared with the renames' names in its own form.
    const LiteralPath location = LocationOf(view);
    const std::optional<OrdinaryPath> finalPath = OrdinaryFormOf(location);
    view.renameConflict = TouchedByRenames(survey, path, wanted) ||
                          (finalPath && TouchedByRenames(survey, *finalPath, wanted));
    // Asked of folders too: a folder row's folder and those inside it are deleted as files are.
    view.systemMayDelete = SystemMayDelete(survey.system, location.empty() ? literal : location);
    return view;
}

namespace {

// The class and flag of FileCaseSensitiveInfo, which older SDKs lack.
constexpr int kFileCaseSensitiveInfo = 23;
constexpr ULONG kCaseSensitiveDirectory = 0x1;

bool FolderTellsCase(BootSurvey& survey, std::u16string_view folder) {
    const WideText key(folder);
    auto known = survey.caseSensitiveFolders.find(key);
    if (known != survey.caseSensitiveFolders.end()) {
        return known->second;
    }
    const LiteralPath literal = LiteralFormOf(RecordedPath{key});
    HANDLE handle = InNativeView([&] { return OpenToAsk(literal); }, INVALID_HANDLE_VALUE);
    ULONG flags = 0;
    bool tells = false;
    if (handle != INVALID_HANDLE_VALUE) {
        tells = GetFileInformationByHandleEx(
                    handle, static_cast<FILE_INFO_BY_HANDLE_CLASS>(kFileCaseSensitiveInfo), &flags,
                    sizeof flags) &&
                (flags & kCaseSensitiveDirectory) != 0;
        CloseHandle(handle);
    }
    survey.caseSensitiveFolders.emplace(key, tells);
    return tells;
}

}  // namespace

CaseSensitiveFolder FolderCaseOf(BootSurvey& survey) {
    return [&survey](std::u16string_view folder) { return FolderTellsCase(survey, folder); };
}
