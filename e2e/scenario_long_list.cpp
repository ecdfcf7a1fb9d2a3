// A long list in a window the user makes larger: 2,000 dropped files are listed, each once also
// when they are dropped again; then the main window and the restart's to-do list are resized and
// maximized, the list takes the room with its path column, the buttons keep to the right edge,
// and neither window goes below the size its template gives it at the display's DPI.

#include <cstdio>
#include <string>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "scenarios.h"

namespace {

constexpr int kFileCount = 2000;
// Each dropped file is compared with the rows before it; 2,000 of them take a while under Wine.
constexpr DWORD kListingMilliseconds = 120000;
// How much larger the windows are made: enough to tell, little enough for a 144 DPI template on
// a 1280-pixel screen.
constexpr int kWider = 200;
constexpr int kTaller = 150;

const std::vector<int> kMainControls = {IDC_FILE_LIST, IDC_ADD,        IDC_REMOVE,
                                        IDC_BATCH_ADD, IDC_CLEAR_LIST, IDC_RESTART_DELETE};
const std::vector<int> kPendingControls = {IDC_PENDING_LIST, IDC_PENDING_CANCEL, IDCANCEL};

// Files need not exist to be listed from a drop.
std::vector<std::string> ManyPaths() {
    std::vector<std::string> paths;
    for (int i = 1; i <= kFileCount; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "C:\\e2e\\long-list\\file-%04d.txt", i);
        paths.push_back(name);
    }
    return paths;
}

// A dialog's size and where its controls are (the list first), in its client coordinates.
struct Placement {
    RECT window{};
    RECT client{};
    std::vector<RECT> controls;
    int pathColumn = 0;
};

int WidthOf(const RECT& rect) {
    return rect.right - rect.left;
}
int HeightOf(const RECT& rect) {
    return rect.bottom - rect.top;
}

Placement PlacementOf(HWND dialog, const std::vector<int>& ids) {
    Placement placement;
    GetWindowRect(dialog, &placement.window);
    GetClientRect(dialog, &placement.client);
    for (int id : ids) {
        RECT rect{};
        GetWindowRect(GetDlgItem(dialog, id), &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        placement.controls.push_back(rect);
    }
    placement.pathColumn = static_cast<int>(
        SendWithTimeout(GetDlgItem(dialog, ids.front()), LVM_GETCOLUMNWIDTH, 0, 0));
    return placement;
}

std::string Shown(const RECT& rect) {
    return "(" + std::to_string(rect.left) + "," + std::to_string(rect.top) + ")-(" +
           std::to_string(rect.right) + "," + std::to_string(rect.bottom) + ")";
}

// Against the window as it opened: the list keeps its left and top and its distance to the
// client area's right and bottom edges, its path column widens by what the list did, and each
// button keeps its size, its top and its distance to the right edge.
bool FollowsClientArea(const Placement& opened, const Placement& now, std::string& report) {
    const int wider = WidthOf(now.client) - WidthOf(opened.client);
    const int taller = HeightOf(now.client) - HeightOf(opened.client);
    const RECT& list = now.controls.front();
    const RECT& listBefore = opened.controls.front();
    bool ok = list.left == listBefore.left && list.top == listBefore.top &&
              list.right == listBefore.right + wider && list.bottom == listBefore.bottom + taller &&
              now.pathColumn == opened.pathColumn + wider;
    report = "client " + Shown(now.client) + ", list " + Shown(list) + ", path column " +
             std::to_string(now.pathColumn);
    for (size_t i = 1; i < now.controls.size(); ++i) {
        const RECT& button = now.controls[i];
        const RECT& before = opened.controls[i];
        ok = ok && WidthOf(button) == WidthOf(before) && HeightOf(button) == HeightOf(before) &&
             button.top == before.top &&
             now.client.right - button.right == opened.client.right - before.right;
        report += ", button " + Shown(button);
    }
    return ok;
}

bool Resize(HWND window, int width, int height) {
    return SetWindowPos(window, nullptr, 0, 0, width, height,
                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

// Larger by kWider x kTaller, then far below the template's size: the controls follow the
// client area, and the window stops at the size it opened with. The screenshot is of the larger
// window (a maximized one reaches past the screen's edges, where nothing can be copied).
void CheckResizing(HWND dialog, const std::vector<int>& ids, const Placement& opened,
                   const std::string& name, const char* screenshot) {
    std::string report;
    Resize(dialog, WidthOf(opened.window) + kWider, HeightOf(opened.window) + kTaller);
    const Placement larger = PlacementOf(dialog, ids);
    if (screenshot != nullptr) {
        Check(SaveScreenshot(dialog, screenshot), name + " made larger: a screenshot is saved");
    }
    Check(WidthOf(larger.client) == WidthOf(opened.client) + kWider &&
              HeightOf(larger.client) == HeightOf(opened.client) + kTaller,
          name + " made larger: its client area grows by as much (" + Shown(larger.client) + ")");
    const bool largerFollows = FollowsClientArea(opened, larger, report);
    Check(largerFollows,
          name + " made larger: the list takes the room, the buttons keep to the right edge: " +
              report);

    Resize(dialog, 80, 40);
    const Placement smallest = PlacementOf(dialog, ids);
    Check(WidthOf(smallest.window) == WidthOf(opened.window) &&
              HeightOf(smallest.window) == HeightOf(opened.window),
          name + " made tiny stops at its template's size " +
              std::to_string(WidthOf(opened.window)) + " x " +
              std::to_string(HeightOf(opened.window)) + " (got " +
              std::to_string(WidthOf(smallest.window)) + " x " +
              std::to_string(HeightOf(smallest.window)) + ")");
    const bool smallestFollows = FollowsClientArea(opened, smallest, report);
    Check(smallestFollows,
          name + " at its smallest: every control is back where the template put it: " + report);
}

void ListManyFiles(HWND mainWindow, HWND list, const std::vector<std::string>& paths) {
    ULONGLONG started = GetTickCount64();
    Check(WaitForDropFinished(DropFiles(mainWindow, paths), kListingMilliseconds),
          "2,000 dropped files: the drop is handled and released");
    Note("listing 2,000 dropped files took " + std::to_string(GetTickCount64() - started) + " ms");
    Check(RowCountOf(list) == kFileCount && CellText(list, 0, 0) == paths.front() &&
              CellText(list, kFileCount - 1, 0) == paths.back(),
          "2,000 dropped files are listed, in drop order (" + std::to_string(RowCountOf(list)) +
              " rows)");

    started = GetTickCount64();
    Check(WaitForDropFinished(DropFiles(mainWindow, paths), kListingMilliseconds),
          "the same 2,000 files dropped again: the drop is handled and released");
    Note("checking 2,000 listed files again took " + std::to_string(GetTickCount64() - started) +
         " ms");
    Check(RowCountOf(list) == kFileCount, "the same 2,000 files dropped again add nothing (" +
                                              std::to_string(RowCountOf(list)) + " rows)");
}

void CheckMainWindow(HWND mainWindow) {
    const Placement opened = PlacementOf(mainWindow, kMainControls);
    Note("the main window opens at " + std::to_string(WidthOf(opened.window)) + " x " +
         std::to_string(HeightOf(opened.window)) + ", client " + Shown(opened.client));
    CheckResizing(mainWindow, kMainControls, opened, "the main window", "main-window-larger.bmp");

    ShowWindow(mainWindow, SW_MAXIMIZE);
    Check(WaitUntil([&] { return IsZoomed(mainWindow) != FALSE; }),
          "the main window can be maximized");
    const Placement maximized = PlacementOf(mainWindow, kMainControls);
    std::string report;
    const bool maximizedFollows = FollowsClientArea(opened, maximized, report);
    Check(WidthOf(maximized.client) > WidthOf(opened.client) + kWider && maximizedFollows,
          "maximized: the list takes the screen, the buttons keep to the right edge: " + report);
    ShowWindow(mainWindow, SW_RESTORE);
    Check(WaitUntil([&] { return IsZoomed(mainWindow) == FALSE; }),
          "the main window is restored from maximized");
}

void CheckPendingWindow(HWND mainWindow) {
    PostMessageW(mainWindow, WM_SYSCOMMAND, IDM_PENDING, 0);
    HWND dialog = WaitForTopWindowW("#32770", L"重启时待处理的文件");
    if (!Check(dialog != nullptr, "the system menu's item opens the to-do list")) {
        return;
    }
    CheckResizing(dialog, kPendingControls, PlacementOf(dialog, kPendingControls), "the to-do list",
                  nullptr);
    Click(dialog, IDCANCEL);
    Check(WaitUntilGone(dialog, kListingMilliseconds), "the to-do list closes");
}

}  // namespace

void DriveLongList(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    ListManyFiles(mainWindow, list, ManyPaths());
    CheckMainWindow(mainWindow);
    CheckPendingWindow(mainWindow);
}
