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
// a restart run's rows when the pending operations are in a form the program cannot read whole: "待处理的操作格式无法识别"
inline constexpr char kReasonPendingUnrecognised[] = "\xb4\xfd\xb4\xa6\xc0\xed\xb5\xc4\xb2\xd9\xd7\xf7\xb8\xf1\xca\xbd\xce\xde\xb7\xa8\xca\xb6\xb1\xf0";
// a cancel refused because a value is in a form the list does not rewrite: "待处理的操作格式无法识别，未作更改"
inline constexpr char kCancelUnrecognised[] = "\xb4\xfd\xb4\xa6\xc0\xed\xb5\xc4\xb2\xd9\xd7\xf7\xb8\xf1\xca\xbd\xce\xde\xb7\xa8\xca\xb6\xb1\xf0\xa3\xac\xce\xb4\xd7\xf7\xb8\xfc\xb8\xc4";
// a cancel of operations another program has taken out or changed meanwhile: "选中的操作已不再待处理，未作更改"
inline constexpr char kCancelGone[] = "\xd1\xa1\xd6\xd0\xb5\xc4\xb2\xd9\xd7\xf7\xd2\xd1\xb2\xbb\xd4\xd9\xb4\xfd\xb4\xa6\xc0\xed\xa3\xac\xce\xb4\xd7\xf7\xb8\xfc\xb8\xc4";
// question before cancelling deletions that take a folder's contents with them, before their count: "  确定取消 "
inline constexpr char kConfirmCancelCountBefore[] = "  \xc8\xb7\xb6\xa8\xc8\xa1\xcf\xfb ";
// the same question after the count: " 项重启删除 (含文件夹中的内容) ?  "
inline constexpr char kConfirmCancelCountAfter[] = " \xcf\xee\xd6\xd8\xc6\xf4\xc9\xbe\xb3\xfd (\xba\xac\xce\xc4\xbc\xfe\xbc\xd0\xd6\xd0\xb5\xc4\xc4\xda\xc8\xdd) ?  ";
// restart prompt when Fast Startup is on: "已开启快速启动：只有“重启”会删除这些文件，“关机”后再开机不会。"
inline constexpr char kFastStartupPrompt[] = "\xd2\xd1\xbf\xaa\xc6\xf4\xbf\xec\xcb\xd9\xc6\xf4\xb6\xaf\xa3\xba\xd6\xbb\xd3\xd0\xa1\xb0\xd6\xd8\xc6\xf4\xa1\xb1\xbb\xe1\xc9\xbe\xb3\xfd\xd5\xe2\xd0\xa9\xce\xc4\xbc\xfe\xa3\xac\xa1\xb0\xb9\xd8\xbb\xfa\xa1\xb1\xba\xf3\xd4\xd9\xbf\xaa\xbb\xfa\xb2\xbb\xbb\xe1\xa1\xa3";
// open-file dialog: a selection larger than the dialog could hand over: "选中的文件过多，未添加任何文件"
inline constexpr char kSelectionTooLarge[] = "\xd1\xa1\xd6\xd0\xb5\xc4\xce\xc4\xbc\xfe\xb9\xfd\xb6\xe0\xa3\xac\xce\xb4\xcc\xed\xbc\xd3\xc8\xce\xba\xce\xce\xc4\xbc\xfe";
// open-file dialog: a chosen or typed name of no file, after its path: "文件不存在，请检查文件名后重试。"
inline constexpr char kPickNotFound[] = "\xce\xc4\xbc\xfe\xb2\xbb\xb4\xe6\xd4\xda\xa3\xac\xc7\xeb\xbc\xec\xb2\xe9\xce\xc4\xbc\xfe\xc3\xfb\xba\xf3\xd6\xd8\xca\xd4\xa1\xa3";

// list column 2 header: "原因"
inline constexpr char kColumnReason[] = "\xd4\xad\xd2\xf2";
// reason: the row names no file now: "文件不存在"
inline constexpr char kReasonNoFile[] = "\xce\xc4\xbc\xfe\xb2\xbb\xb4\xe6\xd4\xda";
// reason: the file is no longer where it was when the row was listed: "路径已改变"
inline constexpr char kReasonMovedSinceListing[] = "\xc2\xb7\xbe\xb6\xd2\xd1\xb8\xc4\xb1\xe4";
// reason: the row names a folder: "是文件夹"
inline constexpr char kReasonFolder[] = "\xca\xc7\xce\xc4\xbc\xfe\xbc\xd0";
// reason: a share or network drive, or one reached through a folder link: "网络位置"
inline constexpr char kReasonNetwork[] = "\xcd\xf8\xc2\xe7\xce\xbb\xd6\xc3";
// reason: a SUBST drive of the user's session: "SUBST 驱动器"
inline constexpr char kReasonSubst[] = "SUBST \xc7\xfd\xb6\xaf\xc6\xf7";
// reason: a removable disk, or a disk on a USB, SD or MMC bus: "可移动磁盘"
inline constexpr char kReasonRemovable[] = "\xbf\xc9\xd2\xc6\xb6\xaf\xb4\xc5\xc5\xcc";
// reason: a CD or DVD drive: "光盘"
inline constexpr char kReasonOptical[] = "\xb9\xe2\xc5\xcc";
// reason: a volume the boot has no letter for, or of an unknown kind: "启动时不可用的驱动器"
inline constexpr char kReasonNoBootVolume[] = "\xc6\xf4\xb6\xaf\xca\xb1\xb2\xbb\xbf\xc9\xd3\xc3\xb5\xc4\xc7\xfd\xb6\xaf\xc6\xf7";
// reason: the row is itself a symbolic link, junction or mount point: "链接"
inline constexpr char kReasonLink[] = "\xc1\xb4\xbd\xd3";
// reason: another kind of reparse file (a cloud placeholder, say): "特殊文件"
inline constexpr char kReasonSpecialFile[] = "\xcc\xd8\xca\xe2\xce\xc4\xbc\xfe";
// reason: a pending rename moves, replaces or creates it, or a folder above it: "与待处理的重命名冲突"
inline constexpr char kReasonRenameConflict[] = "\xd3\xeb\xb4\xfd\xb4\xa6\xc0\xed\xb5\xc4\xd6\xd8\xc3\xfc\xc3\xfb\xb3\xe5\xcd\xbb";
// reason: SYSTEM, the boot's account, may not delete it: "系统账户无权删除"
inline constexpr char kReasonSystemMayNotDelete[] = "\xcf\xb5\xcd\xb3\xd5\xcb\xbb\xa7\xce\xde\xc8\xa8\xc9\xbe\xb3\xfd";
// reason: the request was refused with ERROR_ACCESS_DENIED: "需要管理员权限"
inline constexpr char kReasonNeedsAdministrator[] = "\xd0\xe8\xd2\xaa\xb9\xdc\xc0\xed\xd4\xb1\xc8\xa8\xcf\xde";
// reason: the request was refused for another reason; the error number and a closing parenthesis follow: "系统拒绝 (错误 "
inline constexpr char kReasonRefusedPrefix[] = "\xcf\xb5\xcd\xb3\xbe\xdc\xbe\xf8 (\xb4\xed\xce\xf3 ";

// question before listing the folders of a drop or a batch, with everything in them: "  确定将文件夹及其中的全部内容加入列表 ?  "
inline constexpr char kConfirmFolders[] = "  \xc8\xb7\xb6\xa8\xbd\xab\xce\xc4\xbc\xfe\xbc\xd0\xbc\xb0\xc6\xe4\xd6\xd0\xb5\xc4\xc8\xab\xb2\xbf\xc4\xda\xc8\xdd\xbc\xd3\xc8\xeb\xc1\xd0\xb1\xed ?  ";
// reason: a drive's root, or the Windows, Program Files, ProgramData or Users folder, or a profile: "系统文件夹"
inline constexpr char kReasonSystemFolder[] = "\xcf\xb5\xcd\xb3\xce\xc4\xbc\xfe\xbc\xd0";
// reason: a folder whose contents cannot be listed: "无法读取文件夹内容"
inline constexpr char kReasonUnlistedFolder[] = "\xce\xde\xb7\xa8\xb6\xc1\xc8\xa1\xce\xc4\xbc\xfe\xbc\xd0\xc4\xda\xc8\xdd";
// after a folder's first refused reason, before the number of refused entries: " (共 "
inline constexpr char kCountPrefix[] = " (\xb9\xb2 ";
// after the number of refused entries: " 项)"
inline constexpr char kCountSuffix[] = " \xcf\xee)";
// result while a folder is checked, before the number of entries checked so far: "正在检查 "
inline constexpr char kWalkProgressPrefix[] = "\xd5\xfd\xd4\xda\xbc\xec\xb2\xe9 ";
// after the number of entries checked so far: " 项"
inline constexpr char kWalkProgressSuffix[] = " \xcf\xee";
// an accepted file's reason, before the number of its other names: "另有 "
inline constexpr char kOtherLinksPrefix[] = "\xc1\xed\xd3\xd0 ";
// after the number of its other names (hard links), whose data the restart keeps: " 个硬链接"
inline constexpr char kOtherLinksSuffix[] = " \xb8\xf6\xd3\xb2\xc1\xb4\xbd\xd3";
// box of a refused folder's row, above its refused entries: "以下各项重启时无法删除："
inline constexpr char kRefusedEntriesHeading[] = "\xd2\xd4\xcf\xc2\xb8\xf7\xcf\xee\xd6\xd8\xc6\xf4\xca\xb1\xce\xde\xb7\xa8\xc9\xbe\xb3\xfd\xa3\xba";
// the box's last line when it shows only the first refused entries: "……"
inline constexpr char kMoreEntries[] = "\xa1\xad\xa1\xad";

// reason: an entry whose attributes or reparse tag cannot be read: "无法读取文件信息"
inline constexpr char kReasonUnknowable[] = "\xce\xde\xb7\xa8\xb6\xc1\xc8\xa1\xce\xc4\xbc\xfe\xd0\xc5\xcf\xa2";
// reason: the row's deletions would take the pending values past 64 MiB: "重启删除列表将超过 64 MB"
inline constexpr char kReasonOverCap[] = "\xd6\xd8\xc6\xf4\xc9\xbe\xb3\xfd\xc1\xd0\xb1\xed\xbd\xab\xb3\xac\xb9\xfd 64 MB";
// result while the run waits for another program to finish writing the pending operations: "等待其他程序写完待处理的操作"
inline constexpr char kWaitingForLock[] = "\xb5\xc8\xb4\xfd\xc6\xe4\xcb\xfb\xb3\xcc\xd0\xf2\xd0\xb4\xcd\xea\xb4\xfd\xb4\xa6\xc0\xed\xb5\xc4\xb2\xd9\xd7\xf7";
// row result: written, but the value could not be read back whole to see it there: "未确认"
inline constexpr char kResultUnconfirmed[] = "\xce\xb4\xc8\xb7\xc8\xcf";
// reason of such a row: "已写入但未能确认，重启时仍可能被删除"
inline constexpr char kReasonUnconfirmed[] = "\xd2\xd1\xd0\xb4\xc8\xeb\xb5\xab\xce\xb4\xc4\xdc\xc8\xb7\xc8\xcf\xa3\xac\xd6\xd8\xc6\xf4\xca\xb1\xc8\xd4\xbf\xc9\xc4\xdc\xb1\xbb\xc9\xbe\xb3\xfd";
// reason: a read-only attribute the run could not clear, which some boots do not clear themselves: "无法清除只读属性"
inline constexpr char kReasonReadOnlyKept[] = "\xce\xde\xb7\xa8\xc7\xe5\xb3\xfd\xd6\xbb\xb6\xc1\xca\xf4\xd0\xd4";
// reason: the file at the path is no longer the one the run looked at: "文件已更改"
inline constexpr char kReasonFileChanged[] = "\xce\xc4\xbc\xfe\xd2\xd1\xb8\xfc\xb8\xc4";

// Texts that are the same in every code page.
inline constexpr char kErrorCaption[] = "error";
inline constexpr char kInternalErrorFormat[] = "program internal error number is %d. (0x%Xh)";

// Starts from Explorer: paths on the command line or handed over by a second start, and the
// Send To shortcut.
// box of a start's paths that name nothing, above them: "以下路径不存在，未加入列表："
inline constexpr char kMissingPathsHeading[] = "\xd2\xd4\xcf\xc2\xc2\xb7\xbe\xb6\xb2\xbb\xb4\xe6\xd4\xda\xa3\xac\xce\xb4\xbc\xd3\xc8\xeb\xc1\xd0\xb1\xed\xa3\xba";
// the same box, above the paths that could not be listed (no exact form for the program's code page): "以下路径无法加入列表："
inline constexpr char kUnlistedPathsHeading[] = "\xd2\xd4\xcf\xc2\xc2\xb7\xbe\xb6\xce\xde\xb7\xa8\xbc\xd3\xc8\xeb\xc1\xd0\xb1\xed\xa3\xba";
// the box's last line when it shows only the first of them, before how many more: "……另有 "
inline constexpr char kMorePathsPrefix[] = "\xa1\xad\xa1\xad\xc1\xed\xd3\xd0 ";
// after how many more: " 项"
inline constexpr char kMorePathsSuffix[] = " \xcf\xee";
// system menu item that adds the program to Explorer's Send To menu: "添加到“发送到”菜单"
inline constexpr char kMenuAddSendTo[] = "\xcc\xed\xbc\xd3\xb5\xbd\xa1\xb0\xb7\xa2\xcb\xcd\xb5\xbd\xa1\xb1\xb2\xcb\xb5\xa5";
// system menu item that takes it out again: "从“发送到”菜单移除"
inline constexpr char kMenuRemoveSendTo[] = "\xb4\xd3\xa1\xb0\xb7\xa2\xcb\xcd\xb5\xbd\xa1\xb1\xb2\xcb\xb5\xa5\xd2\xc6\xb3\xfd";
// the name of the shortcut in the Send To folder: "重启删除"
inline constexpr char kSendToShortcutName[] = "\xd6\xd8\xc6\xf4\xc9\xbe\xb3\xfd";
// box when the Send To folder or its shortcut cannot be changed: "无法更改“发送到”菜单"
inline constexpr char kSendToFailed[] = "\xce\xde\xb7\xa8\xb8\xfc\xb8\xc4\xa1\xb0\xb7\xa2\xcb\xcd\xb5\xbd\xa1\xb1\xb2\xcb\xb5\xa5";

// After the restart: what the boot could not do, from the session manager's log (PFRO.log).
// system menu item that shows what the last restart could not do: "上次重启的结果..."
inline constexpr char kMenuBootLog[] = "\xc9\xcf\xb4\xce\xd6\xd8\xc6\xf4\xb5\xc4\xbd\xe1\xb9\xfb...";
// caption of the last restart's results: "上次重启的结果"
inline constexpr char kBootLogCaption[] = "\xc9\xcf\xb4\xce\xd6\xd8\xc6\xf4\xb5\xc4\xbd\xe1\xb9\xfb";
// last restart's results column 0 header: "时间"
inline constexpr char kColumnBootLogTime[] = "\xca\xb1\xbc\xe4";
// last restart's results column 2 header: "操作"
inline constexpr char kColumnBootLogAction[] = "\xb2\xd9\xd7\xf7";
// the last restart, before its time: "上次重启（"
inline constexpr char kLastRestartBefore[] = "\xc9\xcf\xb4\xce\xd6\xd8\xc6\xf4\xa3\xa8";
// after its time, before the number of operations it could not carry out: "）时有 "
inline constexpr char kLastRestartFailuresBefore[] = "\xa3\xa9\xca\xb1\xd3\xd0 ";
// after that number: " 项操作未能完成"
inline constexpr char kLastRestartFailuresAfter[] = " \xcf\xee\xb2\xd9\xd7\xf7\xce\xb4\xc4\xdc\xcd\xea\xb3\xc9";
// before the number of operations it carried out: "，"
inline constexpr char kLastRestartDoneBefore[] = "\xa3\xac";
// after that number: " 项已完成"
inline constexpr char kLastRestartDoneAfter[] = " \xcf\xee\xd2\xd1\xcd\xea\xb3\xc9";
// the end of a sentence: "。"
inline constexpr char kSentenceEnd[] = "\xa1\xa3";
// the log's last boot is older than the one running now: "上次重启时没有记录到失败的操作。"
inline constexpr char kLastRestartNothingFailed[] = "\xc9\xcf\xb4\xce\xd6\xd8\xc6\xf4\xca\xb1\xc3\xbb\xd3\xd0\xbc\xc7\xc2\xbc\xb5\xbd\xca\xa7\xb0\xdc\xb5\xc4\xb2\xd9\xd7\xf7\xa1\xa3";
// the system left no log of its restarts: "系统没有留下重启记录 (PFRO.log)。"
inline constexpr char kBootLogMissing[] = "\xcf\xb5\xcd\xb3\xc3\xbb\xd3\xd0\xc1\xf4\xcf\xc2\xd6\xd8\xc6\xf4\xbc\xc7\xc2\xbc (PFRO.log)\xa1\xa3";
// the log could not be read, before why: "无法读取重启记录："
inline constexpr char kBootLogUnreadable[] = "\xce\xde\xb7\xa8\xb6\xc1\xc8\xa1\xd6\xd8\xc6\xf4\xbc\xc7\xc2\xbc\xa3\xba";
// why: not one of its lines could be read: "内容无法识别"
inline constexpr char kBootLogUnrecognised[] = "\xc4\xda\xc8\xdd\xce\xde\xb7\xa8\xca\xb6\xb1\xf0";
// operations still pending, before their number: "当前仍有 "
inline constexpr char kStillPendingBefore[] = "\xb5\xb1\xc7\xb0\xc8\xd4\xd3\xd0 ";
// after their number: " 项待处理的操作，只有“重启”才会执行它们。"
inline constexpr char kStillPendingAfter[] = " \xcf\xee\xb4\xfd\xb4\xa6\xc0\xed\xb5\xc4\xb2\xd9\xd7\xf7\xa3\xac\xd6\xbb\xd3\xd0\xa1\xb0\xd6\xd8\xc6\xf4\xa1\xb1\xb2\xc5\xbb\xe1\xd6\xb4\xd0\xd0\xcb\xfc\xc3\xc7\xa1\xa3";
// after the number of the log's lines that could not be read: " 行无法识别"
inline constexpr char kSkippedLinesAfter[] = " \xd0\xd0\xce\xde\xb7\xa8\xca\xb6\xb1\xf0";
// a listed file's reason when the last restart failed to delete it, before why: "上次重启未能删除："
inline constexpr char kLastRestartNotDeleted[] = "\xc9\xcf\xb4\xce\xd6\xd8\xc6\xf4\xce\xb4\xc4\xdc\xc9\xbe\xb3\xfd\xa3\xba";
// boot's failure: the path does not exist: "路径不存在"
inline constexpr char kBootPathNotFound[] = "\xc2\xb7\xbe\xb6\xb2\xbb\xb4\xe6\xd4\xda";
// boot's failure: the path is not a valid one: "路径格式无效"
inline constexpr char kBootPathInvalid[] = "\xc2\xb7\xbe\xb6\xb8\xf1\xca\xbd\xce\xde\xd0\xa7";
// boot's failure: the folder still held something: "文件夹不为空"
inline constexpr char kBootFolderNotEmpty[] = "\xce\xc4\xbc\xfe\xbc\xd0\xb2\xbb\xce\xaa\xbf\xd5";
// boot's failure: access denied: "拒绝访问"
inline constexpr char kBootAccessDenied[] = "\xbe\xdc\xbe\xf8\xb7\xc3\xce\xca";
// boot's failure: another process had the file open: "文件正在使用中"
inline constexpr char kBootFileInUse[] = "\xce\xc4\xbc\xfe\xd5\xfd\xd4\xda\xca\xb9\xd3\xc3\xd6\xd0";
// boot's failure: the file was already being deleted: "文件正在删除"
inline constexpr char kBootDeletePending[] = "\xce\xc4\xbc\xfe\xd5\xfd\xd4\xda\xc9\xbe\xb3\xfd";
// boot's failure: a read-only or running file: "只读或正在运行，无法删除"
inline constexpr char kBootCannotDelete[] = "\xd6\xbb\xb6\xc1\xbb\xf2\xd5\xfd\xd4\xda\xd4\xcb\xd0\xd0\xa3\xac\xce\xde\xb7\xa8\xc9\xbe\xb3\xfd";
// boot's failure: a rename's destination exists: "目标已存在"
inline constexpr char kBootTargetExists[] = "\xc4\xbf\xb1\xea\xd2\xd1\xb4\xe6\xd4\xda";
// boot's failure: the path went through a link: "路径经过链接"
inline constexpr char kBootThroughLink[] = "\xc2\xb7\xbe\xb6\xbe\xad\xb9\xfd\xc1\xb4\xbd\xd3";
// boot's failure of any other status, before it: "错误 "
inline constexpr char kBootErrorPrefix[] = "\xb4\xed\xce\xf3 ";

// The right-click verb in Explorer, and its system-menu item.
// system menu item that adds the verb to Explorer's right-click menu: "添加到右键菜单"
inline constexpr char kMenuAddContextMenu[] = "\xcc\xed\xbc\xd3\xb5\xbd\xd3\xd2\xbc\xfc\xb2\xcb\xb5\xa5";
// system menu item that takes it out again: "从右键菜单移除"
inline constexpr char kMenuRemoveContextMenu[] = "\xb4\xd3\xd3\xd2\xbc\xfc\xb2\xcb\xb5\xa5\xd2\xc6\xb3\xfd";
// the verb in Explorer's right-click menu: "重启时删除"
inline constexpr char kContextMenuVerb[] = "\xd6\xd8\xc6\xf4\xca\xb1\xc9\xbe\xb3\xfd";
// box when the verb's registry keys cannot be changed, above the system's refusal: "无法更改右键菜单"
inline constexpr char kContextMenuFailed[] = "\xce\xde\xb7\xa8\xb8\xfc\xb8\xc4\xd3\xd2\xbc\xfc\xb2\xcb\xb5\xa5";
// box when the verb's helper is not beside the program, above its path: "找不到右键菜单所需的程序："
inline constexpr char kContextMenuHelperMissing[] = "\xd5\xd2\xb2\xbb\xb5\xbd\xd3\xd2\xbc\xfc\xb2\xcb\xb5\xa5\xcb\xf9\xd0\xe8\xb5\xc4\xb3\xcc\xd0\xf2\xa3\xba";
// clang-format on
