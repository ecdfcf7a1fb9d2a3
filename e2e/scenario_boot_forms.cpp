// Renames another program recorded in the forms the system accepts besides "\??\C:\...": with
// the "@" marker, with the volume's GUID, with its device name, and with a short (8.3) name. Each
// refuses the row that names its file, as a plain rename does. A file with a second name (a hard
// link) is accepted and says so. A pending value the program cannot read whole refuses every row
// of the run and is left unit for unit.

#include <windows.h>

#include <string>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "scenarios.h"

namespace {

const std::string kFolder = "C:\\e2e\\forms";

std::wstring W(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

std::wstring Pair(const std::wstring& source, const std::wstring& destination) {
    return source + L'\0' + destination + L'\0';
}

// The volume GUID path of C:, without "\\?\" and its final "\": "Volume{...}".
std::wstring VolumeOfC() {
    wchar_t volume[MAX_PATH] = {};
    if (!GetVolumeNameForVolumeMountPointW(L"C:\\", volume, MAX_PATH)) {
        return L"";
    }
    std::wstring name = volume;
    return name.size() > 5 ? name.substr(4, name.size() - 5) : L"";
}

std::wstring DeviceOfC() {
    wchar_t device[MAX_PATH] = {};
    return QueryDosDeviceW(L"C:", device, MAX_PATH) ? device : L"";
}

std::wstring ShortForm(const std::string& path) {
    wchar_t form[MAX_PATH] = {};
    const DWORD length = GetShortPathNameW(W(path).c_str(), form, MAX_PATH);
    return length > 0 && length < MAX_PATH ? form : L"";
}

struct Expected {
    std::string path;
    const char* result;
    std::string reason;  // empty for an accepted row with nothing to say
};

void CheckRows(HWND list, const std::vector<Expected>& rows) {
    const std::vector<Row> listed = ReadRows(list);
    Check(listed.size() == rows.size(), "every file is listed");
    for (size_t i = 0; i < rows.size() && i < listed.size(); ++i) {
        Check(listed[i].result == rows[i].result && listed[i].reason == rows[i].reason,
              "[" + rows[i].path + "] says [" + Printable(listed[i].result) + "] [" +
                  Printable(listed[i].reason) + "]");
    }
}

}  // namespace

void DriveBootForms(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    const std::string longName = kFolder + "\\a long file name.txt";
    const std::string marked = kFolder + "\\marked.txt";
    const std::string byGuid = kFolder + "\\guid.txt";
    const std::string byDevice = kFolder + "\\device.txt";
    const std::string linked = kFolder + "\\linked.txt";
    const std::string plain = kFolder + "\\plain.txt";
    DeleteFileW(W(kFolder + "\\linked too.txt").c_str());
    Check(ClearPendingOperations() && MakeFolder(kFolder) && MakeFile(longName) &&
              MakeFile(marked) && MakeFile(byGuid) && MakeFile(byDevice) && MakeFile(linked) &&
              MakeFile(plain) &&
              CreateHardLinkW(W(kFolder + "\\linked too.txt").c_str(), W(linked).c_str(), nullptr),
          "the files are made, and linked.txt has a second name");
    const std::wstring shortName = ShortForm(longName);
    const std::wstring volume = VolumeOfC();
    const std::wstring device = DeviceOfC();
    Note("short form [" + Printable(Text936Of(shortName)) + "], volume [" +
         Printable(Text936Of(volume)) + "], device [" + Printable(Text936Of(device)) + "]");
    if (!Check(!shortName.empty() && shortName != W(longName) && !volume.empty() && !device.empty(),
               "the system gives a short form, C:'s volume GUID and its device")) {
        return;
    }
    const std::wstring moved = L"\\??\\" + W(kFolder) + L"\\moved";
    const std::wstring renames = Pair(L"@\\??\\" + W(marked), moved + L"1.txt") +
                                 Pair(L"\\??\\" + volume + W(byGuid.substr(2)), moved + L"2.txt") +
                                 Pair(device + W(byDevice.substr(2)), moved + L"3.txt") +
                                 Pair(L"\\??\\" + shortName, moved + L"4.txt");
    Check(WritePendingValueUnits(renames + L'\0'),
          "renames in the @, volume GUID, device and short forms are pending");

    const std::string otherNames = std::string(kOtherLinksPrefix) + "1" + kOtherLinksSuffix;
    const std::vector<Expected> rows = {
        {marked, kResultRefused, kReasonRenameConflict},
        {byGuid, kResultRefused, kReasonRenameConflict},
        {byDevice, kResultRefused, kReasonRenameConflict},
        {longName, kResultRefused, kReasonRenameConflict},
        {linked, kResultAccepted, otherNames},
        {plain, kResultAccepted, ""},
    };
    std::vector<std::string> paths;
    for (const Expected& row : rows) {
        paths.push_back(row.path);
    }
    Check(WaitForDropFinished(DropFiles(mainWindow, paths)), "the files are dropped");
    if (!RunRestartDeclinePrompt(mainWindow)) {
        return;
    }
    CheckRows(list, rows);
    std::wstring after;
    Check(ReadPendingValueUnits(after) && after == renames + Pair(L"\\??\\" + W(linked), L"") +
                                                       Pair(L"\\??\\" + W(plain), L"") + L'\0',
          "the renames stay unit for unit, and only the linked and the plain file are added");
    Check(SaveScreenshot(mainWindow, "main-window-boot-forms.bmp"),
          "a screenshot of the main window is saved");
    ClearPendingOperations();
}

void DrivePendingUnreadable(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    const std::string plain = kFolder + "\\plain.txt";
    const std::string other = kFolder + "\\other.txt";
    // A source whose destination never comes: the renames before ours cannot be told.
    const std::wstring broken = L"\\??\\" + W(kFolder) + L"\\x.txt" + L'\0';
    Check(MakeFolder(kFolder) && MakeFile(plain) && MakeFile(other) && ClearPendingOperations() &&
              WritePendingValueUnits(broken),
          "the pending value ends in the middle of a pair");
    Check(WaitForDropFinished(DropFiles(mainWindow, {plain, other})), "two files are dropped");
    if (!AskForRestartDeletion(mainWindow, IDOK) ||
        !Check(WaitUntil([&] { return AllRowsHaveResults(list); }), "every row gets its result")) {
        return;
    }
    CheckRows(list, {{plain, kResultRefused, kReasonPendingUnrecognised},
                     {other, kResultRefused, kReasonPendingUnrecognised}});
    Check(!WaitUntil([&] { return OtherDialog(mainWindow) != nullptr; }, 3000),
          "no restart prompt is shown");
    std::wstring after;
    Check(ReadPendingValueUnits(after) && after == broken, "the value is left unit for unit");
    ClearPendingOperations();
}
