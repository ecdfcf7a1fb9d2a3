#pragma once

// Resource and control ids, shared by rebootdel.rc and the code.

#define IDI_APP 129

#define IDD_MAIN 1000
#define IDC_ADD 1001
#define IDC_FILE_LIST 1002
#define IDC_REMOVE 1003
#define IDC_BATCH_ADD 1004
#define IDC_CLEAR_LIST 1005
#define IDC_RESTART_DELETE 1006

#define IDD_BATCH_ADD 1100
#define IDC_BATCH_EDIT 1101
#define IDC_BATCH_OK 1102
#define IDC_BATCH_PASTE 1103

#define IDD_PENDING 1200
#define IDC_PENDING_LIST 1201
#define IDC_PENDING_CANCEL 1202
#define IDC_PENDING_STATUS 1203

// What the last restart could not carry out: a line of text over the list, the list, and the count
// of the log's lines that could not be read under it.
#define IDD_BOOT_LOG 1300
#define IDC_BOOT_LOG_SUMMARY 1301
#define IDC_BOOT_LOG_LIST 1302
#define IDC_BOOT_LOG_SKIPPED 1303

// The main window's system-menu item that opens IDD_PENDING. System commands keep their low four
// bits for the system.
#define IDM_PENDING 0x0120
// The item that adds the program to Explorer's Send To menu, or takes it out again.
#define IDM_SEND_TO 0x0130
// The item after IDM_PENDING that opens IDD_BOOT_LOG.
#define IDM_BOOT_LOG 0x0140
// The item that adds the right-click verb "重启时删除" to Explorer, or takes it out again.
#define IDM_CONTEXT_MENU 0x0150
