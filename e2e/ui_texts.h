#pragma once

// The texts the dialog templates put on the controls, as code page 936 bytes: the program sets
// none of these itself, so they are not among its literal texts. The comment before each is its
// Chinese text.

// button IDC_ADD: "添加"
inline constexpr char kAddText[] = "\xcc\xed\xbc\xd3";
// button IDC_REMOVE: "删除"
inline constexpr char kRemoveText[] = "\xc9\xbe\xb3\xfd";
// button IDC_BATCH_ADD: "批量添加"
inline constexpr char kBatchAddText[] = "\xc5\xfa\xc1\xbf\xcc\xed\xbc\xd3";
// button IDC_CLEAR_LIST: "清空列表"
inline constexpr char kClearListText[] = "\xc7\xe5\xbf\xd5\xc1\xd0\xb1\xed";
// button IDC_RESTART_DELETE: "重启删除"
inline constexpr char kRestartDeleteText[] = "\xd6\xd8\xc6\xf4\xc9\xbe\xb3\xfd";
// batch dialog button IDC_BATCH_OK: "确定"
inline constexpr char kBatchOkText[] = "\xc8\xb7\xb6\xa8";
// batch dialog button IDC_BATCH_PASTE: "粘贴"
inline constexpr char kBatchPasteText[] = "\xd5\xb3\xcc\xf9";
