#pragma once

// Every literal text the program shows, as code page 936 bytes. The comment before each is its
// Chinese text; a test decodes each entry and compares it with that comment. One text stands on
// one line so that the test can read it, however long the line. The program hands them to the
// platform in UTF-16 (UiText), so they read the same whatever the system's code page.

// clang-format off

// main window caption: "重启删除文件 -- quorvel"
inline constexpr char kMainCaption[] = "\xd6\xd8\xc6\xf4\xc9\xbe\xb3\xfd\xce\xc4\xbc\xfe -- quorvel";
// list column 0 header: "文件路径"
inline constexpr char kColumnPath[] = "\xce\xc4\xbc\xfe\xc2\xb7\xbe\xb6";
// list column 1 header: "结果"
inline constexpr char kColumnResult[] = "\xbd\xe1\xb9\xfb";
// question before clearing the list: "  确定清空列表?  "
inline constexpr char kConfirmClear[] = "  \xc8\xb7\xb6\xa8\xc7\xe5\xbf\xd5\xc1\xd0\xb1\xed?  ";
// question before the restart deletion: "  确定重启删除列表中的文件 ?  "
inline constexpr char kConfirmRestart[] = "  \xc8\xb7\xb6\xa8\xd6\xd8\xc6\xf4\xc9\xbe\xb3\xfd\xc1\xd0\xb1\xed\xd6\xd0\xb5\xc4\xce\xc4\xbc\xfe ?  ";
// row result: the deletion was scheduled: "成功"
inline constexpr char kResultAccepted[] = "\xb3\xc9\xb9\xa6";
// row result: the system refused: "失败"
inline constexpr char kResultRefused[] = "\xca\xa7\xb0\xdc";
// open-file dialog title: "请选择要重启删除的文件"
inline constexpr char kSelectTitle[] = "\xc7\xeb\xd1\xa1\xd4\xf1\xd2\xaa\xd6\xd8\xc6\xf4\xc9\xbe\xb3\xfd\xb5\xc4\xce\xc4\xbc\xfe";
// batch dialog caption: "批量添加文件"
inline constexpr char kBatchCaption[] = "\xc5\xfa\xc1\xbf\xcc\xed\xbc\xd3\xce\xc4\xbc\xfe";
// question before adding a batch: "  确定 ?  "
inline constexpr char kConfirmBatch[] = "  \xc8\xb7\xb6\xa8 ?  ";
// fatal box: out of memory: "内存不足"
inline constexpr char kOutOfMemory[] = "\xc4\xda\xb4\xe6\xb2\xbb\xd7\xe3";

// system menu item that opens the restart's to-do list: "重启时待处理的文件..."
inline constexpr char kMenuPending[] = "\xd6\xd8\xc6\xf4\xca\xb1\xb4\xfd\xb4\xa6\xc0\xed\xb5\xc4\xce\xc4\xbc\xfe...";
// caption of the restart's to-do list: "重启时待处理的文件"
inline constexpr char kPendingCaption[] = "\xd6\xd8\xc6\xf4\xca\xb1\xb4\xfd\xb4\xa6\xc0\xed\xb5\xc4\xce\xc4\xbc\xfe";
// to-do list column 0 header: "文件"
inline constexpr char kColumnPendingFile[] = "\xce\xc4\xbc\xfe";
// to-do list column 1 header: "重启时"
inline constexpr char kColumnPendingAction[] = "\xd6\xd8\xc6\xf4\xca\xb1";
// to-do list: the file is deleted: "删除"
inline constexpr char kPendingDeletion[] = "\xc9\xbe\xb3\xfd";
// to-do list: the file is moved, to the destination that follows: "移到 "
inline constexpr char kPendingMoveTo[] = "\xd2\xc6\xb5\xbd ";
// question before cancelling the chosen deletions: "  确定取消选中文件的重启删除 ?  "
inline constexpr char kConfirmCancelDeletion[] = "  \xc8\xb7\xb6\xa8\xc8\xa1\xcf\xfb\xd1\xa1\xd6\xd0\xce\xc4\xbc\xfe\xb5\xc4\xd6\xd8\xc6\xf4\xc9\xbe\xb3\xfd ?  ";
// row result: the deletion is no longer pending: "已取消"
inline constexpr char kResultCancelled[] = "\xd2\xd1\xc8\xa1\xcf\xfb";
// a cancel refused because the program runs without administrator rights: "需要管理员权限"
inline constexpr char kCancelNeedsAdmin[] = "\xd0\xe8\xd2\xaa\xb9\xdc\xc0\xed\xd4\xb1\xc8\xa8\xcf\xde";
// a cancel refused because a value is in a form the list does not rewrite: "待处理的操作格式无法识别，未作更改"
inline constexpr char kCancelUnrecognised[] = "\xb4\xfd\xb4\xa6\xc0\xed\xb5\xc4\xb2\xd9\xd7\xf7\xb8\xf1\xca\xbd\xce\xde\xb7\xa8\xca\xb6\xb1\xf0\xa3\xac\xce\xb4\xd7\xf7\xb8\xfc\xb8\xc4";
// a cancel the system refused, with its error number: "系统拒绝 (错误 %lu)"
inline constexpr char kCancelRefusedFormat[] = "\xcf\xb5\xcd\xb3\xbe\xdc\xbe\xf8 (\xb4\xed\xce\xf3 %lu)";
// a cancel of operations another program has taken out or changed meanwhile: "选中的操作已不再待处理，未作更改"
inline constexpr char kCancelGone[] = "\xd1\xa1\xd6\xd0\xb5\xc4\xb2\xd9\xd7\xf7\xd2\xd1\xb2\xbb\xd4\xd9\xb4\xfd\xb4\xa6\xc0\xed\xa3\xac\xce\xb4\xd7\xf7\xb8\xfc\xb8\xc4";
// open-file dialog: a selection larger than the dialog could hand over: "选中的文件过多，未添加任何文件"
inline constexpr char kSelectionTooLarge[] = "\xd1\xa1\xd6\xd0\xb5\xc4\xce\xc4\xbc\xfe\xb9\xfd\xb6\xe0\xa3\xac\xce\xb4\xcc\xed\xbc\xd3\xc8\xce\xba\xce\xce\xc4\xbc\xfe";

// Texts that are the same in every code page.
inline constexpr char kErrorCaption[] = "error";
inline constexpr char kInternalErrorFormat[] = "program internal error number is %d. (0x%Xh)";
// clang-format on
