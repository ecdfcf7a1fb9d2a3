// The dialog templates of rebootdel.rc, as the stand-in's dialog manager builds them. A unit test
// compares this table with the .rc, so the two cannot drift apart.

#include "resources/resource.h"
#include "standin/harness.h"

namespace standin {

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

// "添加"
constexpr char kAdd[] = "\xcc\xed\xbc\xd3";
// "删除"
constexpr char kRemove[] = "\xc9\xbe\xb3\xfd";
// "批量添加"
constexpr char kBatchAdd[] = "\xc5\xfa\xc1\xbf\xcc\xed\xbc\xd3";
// "清空列表"
constexpr char kClearList[] = "\xc7\xe5\xbf\xd5\xc1\xd0\xb1\xed";
// "重启删除"
constexpr char kRestartDelete[] = "\xd6\xd8\xc6\xf4\xc9\xbe\xb3\xfd";
// "确定"
constexpr char kOk[] = "\xc8\xb7\xb6\xa8";
// "粘贴"
constexpr char kPaste[] = "\xd5\xb3\xcc\xf9";
// "取消删除"
constexpr char kCancelDeletion[] = "\xc8\xa1\xcf\xfb\xc9\xbe\xb3\xfd";
// "关闭"
constexpr char kCloseText[] = "\xb9\xd8\xb1\xd5";

std::vector<DialogTemplate> BuildTemplates() {
    DialogTemplate main;
    main.id = IDD_MAIN;
    main.style = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX |
                 WS_MAXIMIZEBOX | DS_CENTER | DS_SETFONT;
    main.x = -2;
    main.y = -13;
    main.cx = 441;
    main.cy = 76;
    main.fontName = "MS Sans Serif";
    main.fontPointSize = 8;
    main.controls = {
        {IDC_ADD, "button", kAdd, 389, 3, 48, 12, kChild | BS_PUSHBUTTON, 0},
        {IDC_FILE_LIST, WC_LISTVIEWA, "", 3, 3, 383, 72,
         kChild | LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDATA, WS_EX_CLIENTEDGE},
        {IDC_REMOVE, "button", kRemove, 389, 18, 48, 12, kChild | BS_PUSHBUTTON, 0},
        {IDC_BATCH_ADD, "button", kBatchAdd, 389, 33, 48, 12, kChild | BS_PUSHBUTTON, 0},
        {IDC_CLEAR_LIST, "button", kClearList, 389, 48, 48, 12, kChild | BS_PUSHBUTTON, 0},
        {IDC_RESTART_DELETE, "button", kRestartDelete, 389, 63, 48, 12, kChild | BS_PUSHBUTTON, 0},
    };

    DialogTemplate batch;
    batch.id = IDD_BATCH_ADD;
    batch.style = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_SETFONT;
    batch.x = 10;
    batch.y = 10;
    batch.cx = 286;
    batch.cy = 142;
    batch.fontName = "MS Sans Serif";
    batch.fontPointSize = 8;
    batch.controls = {
        {IDC_BATCH_EDIT, "edit", "", 3, 3, 280, 120,
         kChild | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN, WS_EX_CLIENTEDGE},
        {IDC_BATCH_OK, "button", kOk, 249, 126, 33, 12, kChild | BS_PUSHBUTTON, 0},
        {IDC_BATCH_PASTE, "button", kPaste, 210, 126, 33, 12, kChild | BS_PUSHBUTTON, 0},
    };

    DialogTemplate pending;
    pending.id = IDD_PENDING;
    pending.style = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX |
                    DS_CENTER | DS_SETFONT;
    pending.x = 0;
    pending.y = 0;
    pending.cx = 400;
    pending.cy = 150;
    pending.fontName = "MS Sans Serif";
    pending.fontPointSize = 8;
    pending.controls = {
        {IDC_PENDING_LIST, WC_LISTVIEWA, "", 3, 3, 342, 144,
         kChild | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA, WS_EX_CLIENTEDGE},
        {IDC_PENDING_CANCEL, "button", kCancelDeletion, 348, 3, 48, 12, kChild | BS_PUSHBUTTON, 0},
        {IDCANCEL, "button", kCloseText, 348, 18, 48, 12, kChild | BS_PUSHBUTTON, 0},
        {IDC_PENDING_STATUS, "static", "", 348, 36, 48, 60, WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 0},
    };

    DialogTemplate bootLog;
    bootLog.id = IDD_BOOT_LOG;
    bootLog.style = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX |
                    DS_CENTER | DS_SETFONT;
    bootLog.x = 0;
    bootLog.y = 0;
    bootLog.cx = 440;
    bootLog.cy = 170;
    bootLog.fontName = "MS Sans Serif";
    bootLog.fontPointSize = 8;
    bootLog.controls = {
        {IDC_BOOT_LOG_SUMMARY, "static", "", 3, 3, 382, 18,
         WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0},
        {IDC_BOOT_LOG_LIST, WC_LISTVIEWA, "", 3, 24, 382, 130,
         kChild | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA, WS_EX_CLIENTEDGE},
        {IDC_BOOT_LOG_SKIPPED, "static", "", 3, 157, 382, 10,
         WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0},
        {IDCANCEL, "button", kCloseText, 388, 24, 48, 12, kChild | BS_PUSHBUTTON, 0},
    };
    return {main, batch, pending, bootLog};
}

}  // namespace

const std::vector<DialogTemplate>& DialogTemplates() {
    static const std::vector<DialogTemplate> templates = BuildTemplates();
    return templates;
}

}  // namespace standin
