// The main window as it opens: caption, buttons, list columns and styles, the end of the fade-in,
// and the commands that must do nothing on an empty list. The texts are read in UTF-16, the
// program's code page being UTF-8 here; the columns' widths are checked at the display's DPI,
// which the configuration sets (E2E_DPI).

#include <cstdlib>
#include <string>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "scenarios.h"
#include "ui_texts.h"

namespace {

struct ButtonExpectation {
    int id;
    const char* text;
    const char* name;
};

constexpr ButtonExpectation kButtons[] = {
    {IDC_ADD, kAddText, "Add"},
    {IDC_REMOVE, kRemoveText, "Remove"},
    {IDC_BATCH_ADD, kBatchAddText, "Batch add"},
    {IDC_CLEAR_LIST, kClearListText, "Clear list"},
    {IDC_RESTART_DELETE, kRestartDeleteText, "Restart deletion"},
};

struct ColumnExpectation {
    int widthAt96;
    const char* header;
};

constexpr ColumnExpectation kColumns[] = {
    {300, kColumnPath}, {80, kColumnResult}, {160, kColumnReason}};

// The DPI the configuration gave the display.
int ConfiguredDpi() {
    const char* dpi = std::getenv("E2E_DPI");
    return dpi != nullptr && std::atoi(dpi) > 0 ? std::atoi(dpi) : 96;
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// Every change of opacity the driver sees from now until the window is opaque.
std::vector<int> WatchFadeIn(HWND mainWindow) {
    std::vector<int> seen;
    const ULONGLONG end = GetTickCount64() + kWaitMilliseconds;
    while (GetTickCount64() < end && (seen.empty() || seen.back() != 255)) {
        const int alpha = AlphaOf(mainWindow);
        if (seen.empty() || seen.back() != alpha) {
            seen.push_back(alpha);
        }
    }
    return seen;
}

void CheckFadeIn(HWND mainWindow) {
    const std::vector<int> seen = WatchFadeIn(mainWindow);
    bool rising = true;
    for (size_t i = 1; i < seen.size(); ++i) {
        rising = rising && seen[i] > seen[i - 1];
    }
    Note(std::to_string(seen.size()) + " opacity values seen during the fade-in, from " +
         std::to_string(seen.front()) + " up to " + std::to_string(seen.back()));
    Check(rising, "the opacity only rises during the fade-in");
    Check(seen.back() == 255, "the window is opaque (alpha 255) at the end of the fade-in");
    const LONG exStyle = GetWindowLongA(mainWindow, GWL_EXSTYLE);
    Check((exStyle & WS_EX_LAYERED) != 0, "the main window is layered (WS_EX_LAYERED)");
    Check((exStyle & WS_EX_ACCEPTFILES) != 0, "the main window accepts files (WS_EX_ACCEPTFILES)");
}

void CheckButtons(HWND mainWindow) {
    for (const ButtonExpectation& button : kButtons) {
        HWND control = GetDlgItem(mainWindow, button.id);
        const std::string name = std::string("button ") + button.name;
        if (!Check(control != nullptr, name + " exists")) {
            continue;
        }
        CheckWideText(WideTextOf(control), WideOf936(button.text), name + " text");
        Check(IsWindowVisible(control) && IsWindowEnabled(control), name + " is shown and enabled");
    }
}

void CheckList(HWND list, int dpi) {
    const LONG style = GetWindowLongA(list, GWL_STYLE);
    Check((style & LVS_TYPEMASK) == LVS_REPORT, "the list is a report view");
    Check((style & LVS_SINGLESEL) != 0, "the list allows a single selection");
    const LRESULT extended = SendWithTimeout(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    Check((extended & LVS_EX_GRIDLINES) != 0, "the list shows grid lines");
    Check((extended & LVS_EX_FULLROWSELECT) != 0, "the list selects full rows");

    int columnsWidth = 0;
    for (int index = 0; index < 4; ++index) {
        wchar_t header[64] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = header;
        column.cchTextMax = 64;
        const bool exists = SendWithTimeout(list, LVM_GETCOLUMNW, static_cast<WPARAM>(index),
                                            reinterpret_cast<LPARAM>(&column)) != 0;
        const std::string name = "column " + std::to_string(index);
        if (index == 3) {
            Check(!exists, "the list has exactly three columns");
            break;
        }
        if (!Check(exists, name + " exists")) {
            continue;
        }
        CheckWideText(header, WideOf936(kColumns[index].header), name + " header");
        const int width = MulDiv(kColumns[index].widthAt96, dpi, 96);
        Check(column.cx == width, name + " width is " + std::to_string(width) + " at " +
                                      std::to_string(dpi) + " DPI (got " +
                                      std::to_string(column.cx) + ")");
        columnsWidth += column.cx;
    }
    // The dialog and its list grow with the font at a higher DPI; so must the columns, or they
    // leave a growing part of the list empty.
    RECT client{};
    GetClientRect(list, &client);
    const double share = static_cast<double>(columnsWidth) / (client.right > 0 ? client.right : 1);
    Note("the list is " + std::to_string(client.right) + " pixels wide inside, the columns " +
         std::to_string(columnsWidth));
    Check(share > 0.85 && share < 1.0, "the columns fill the list's width but for a margin");
    Check(RowCountOf(list) == 0, "the list starts empty");
}

// Enter and Escape reach the dialog as IDOK and IDCANCEL; neither may close the window.
void CheckEnterAndEscape(HWND mainWindow) {
    SendWithTimeout(mainWindow, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    SendWithTimeout(mainWindow, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    Check(IsWindow(mainWindow) && IsWindowVisible(mainWindow),
          "IDOK and IDCANCEL (Enter, Escape) leave the main window open");
}

// With an empty list, Clear and Restart deletion return at once: no question is asked.
void CheckEmptyListCommands(HWND mainWindow) {
    Check(ClickAndWait(mainWindow, IDC_CLEAR_LIST), "Clear on an empty list returns at once");
    Check(ClickAndWait(mainWindow, IDC_RESTART_DELETE),
          "Restart deletion on an empty list returns at once");
    Check(TopWindowsOfClass("#32770").size() == 1, "no question box was shown for an empty list");
    CloseStrayWindows(mainWindow);
    Check(IsWindowEnabled(GetDlgItem(mainWindow, IDC_RESTART_DELETE)) != FALSE,
          "the buttons stay enabled after Restart deletion on an empty list");
}

}  // namespace

void DriveStartUp(HWND mainWindow) {
    CheckFadeIn(mainWindow);
    CheckWideText(WideTextOf(mainWindow), WideOf936(kMainCaption), "main window caption");
    CheckButtons(mainWindow);
    const int dpi = ScreenDpi();
    Check(dpi == ConfiguredDpi(), "the display is at " + std::to_string(ConfiguredDpi()) +
                                      " DPI (got " + std::to_string(dpi) + ")");
    HWND list = ListOf(mainWindow);
    if (Check(list != nullptr, "the list control exists")) {
        CheckList(list, dpi);
    }
    CheckEnterAndEscape(mainWindow);
    CheckEmptyListCommands(mainWindow);
}
