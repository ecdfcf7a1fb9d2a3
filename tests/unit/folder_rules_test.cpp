// What a folder row comes to at the restart run: which folders are never walked, the paths of a
// walked tree's entries, the order the boot must meet them in, all or nothing, and the reason a
// refused folder shows.

#include <gtest/gtest.h>

#include <vector>

#include "case_tables.h"
#include "paths/folder_rows.h"
#include "resources/texts.h"
#include "restart/folder_rules.h"
#include "restart/run_plan.h"
#include "restart/walked_tree.h"

namespace {

TEST(FolderRows, AFolderRowIsItsPathAndOneBackslash) {
    EXPECT_EQ(FolderRow(u"C:\\old\\app"), u"C:\\old\\app\\");
    EXPECT_EQ(FolderRow(u"C:\\old\\app\\"), u"C:\\old\\app\\");
    EXPECT_EQ(FolderRow(u"C:\\"), u"C:\\");
    EXPECT_TRUE(IsFolderRow(u"C:\\old\\app\\"));
    EXPECT_FALSE(IsFolderRow(u"C:\\old\\app.txt"));
    EXPECT_FALSE(IsFolderRow(u""));
    EXPECT_EQ(FolderOfRow(u"C:\\old\\app\\"), u"C:\\old\\app");
    EXPECT_EQ(FolderOfRow(u"C:\\"), u"C:\\");
    EXPECT_EQ(FolderOfRow(u"C:\\a.txt"), u"C:\\a.txt");
}

TEST(FolderRules, SystemFoldersAreTheirOwnAndNotWhatTheyHold) {
    SystemFolders system;
    system.windows = {u"C:\\OS\\Windows"};
    system.users = {u"C:\\Users"};
    system.others = {{u"C:\\Program Files"},
                     {u"C:\\Program Files (x86)"},
                     {u"C:\\ProgramData"},
                     {u"D:\\Profiles\\alice"}};
    const struct {
        const char16_t* folder;
        bool system;
    } cases[] = {
        {u"C:\\", true},
        {u"D:", true},
        {u"C:\\OS\\Windows", true},
        {u"c:\\os\\WINDOWS", true},
        {u"C:\\OS", true},  // holds the Windows folder
        {u"C:\\OS\\Windows\\Temp", false},
        {u"C:\\OS\\Windows2", false},
        {u"C:\\OSX", false},
        {u"C:\\Users", true},
        {u"C:\\Users\\Public", true},
        {u"C:\\Users\\alice", true},
        {u"C:\\Users\\alice\\AppData", false},
        {u"C:\\Users2\\alice", false},
        {u"C:\\Program Files", true},
        {u"C:\\program files (x86)", true},
        {u"C:\\Program Files\\Vendor", false},
        {u"C:\\Program Files Extra", false},
        {u"C:\\ProgramData", true},
        {u"D:\\Profiles\\alice", true},
        {u"D:\\Profiles", false},
        {u"C:\\old\\app", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsSystemFolder(OrdinaryPath{c.folder}, system, AsciiCase()), c.system)
            << std::string(c.folder, c.folder + std::char_traits<char16_t>::length(c.folder));
    }
    // What the system does not say is no system folder.
    EXPECT_FALSE(IsSystemFolder(OrdinaryPath{u"C:\\old\\app"}, SystemFolders{}, AsciiCase()));
}

// C:\app, listed through a link to C:\real\app, holds a.txt, sub (b.txt, deep (c.txt)) and an
// empty folder, in the walk's order.
WalkedTree Tree() {
    WalkedTree tree = TreeOf(OrdinaryPath{u"C:\\app"}, RecordedPath{u"\\??\\C:\\real\\app"}, true,
                             false, FileIdentity{7, 70}, BootRefusal::kNone);
    AddWalkedEntry(tree, 0, u"a.txt", false, true, 71, BootRefusal::kNone);  // 1
    const uint32_t sub = AddWalkedEntry(tree, 0, u"sub", true, false, 72, BootRefusal::kNone);
    AddWalkedEntry(tree, 0, u"empty", true, false, 73, BootRefusal::kNone);     // 3
    AddWalkedEntry(tree, sub, u"b.txt", false, false, 74, BootRefusal::kNone);  // 4
    const uint32_t deep = AddWalkedEntry(tree, sub, u"deep", true, false, 75, BootRefusal::kNone);
    AddWalkedEntry(tree, deep, u"c.txt", false, false, 76, BootRefusal::kNone);  // 6
    return tree;
}

std::vector<WideText> RecordedPaths(const WalkedTree& tree, const std::vector<uint32_t>& order) {
    std::vector<WideText> paths;
    for (uint32_t entry : order) {
        paths.push_back(RecordedPathOf(tree, entry).text);
    }
    return paths;
}

// Each entry is recorded under the folder's final path and shown under the path the row names;
// its recorded length is what it adds to the value.
TEST(WalkedTree, EachEntrysPathsAreMadeFromItsFolders) {
    const WalkedTree tree = Tree();
    EXPECT_EQ(ListedPathOf(tree, 6).text, u"C:\\app\\sub\\deep\\c.txt");
    EXPECT_EQ(RecordedPathOf(tree, 6).text, u"\\??\\C:\\real\\app\\sub\\deep\\c.txt");
    EXPECT_EQ(RecordedPathOf(tree, 0).text, u"\\??\\C:\\real\\app");
    EXPECT_EQ(ListedPathOf(tree, 0).text, u"C:\\app");
    EXPECT_EQ(IdentityOf(tree, 1), (FileIdentity{7, 71}));
    for (uint32_t entry = 0; entry < tree.entries.size(); ++entry) {
        EXPECT_EQ(DeletionBytes(tree.entries[entry]),
                  (RecordedPathOf(tree, entry).text.size() + 2) * sizeof(char16_t));
    }
}

TEST(WalkedTree, FilesThenFoldersDeepestFirstThenTheFolderItself) {
    const WalkedTree tree = Tree();
    EXPECT_EQ(
        RecordedPaths(tree, RecordOrder(tree)),
        (std::vector<WideText>{u"\\??\\C:\\real\\app\\a.txt", u"\\??\\C:\\real\\app\\sub\\b.txt",
                               u"\\??\\C:\\real\\app\\sub\\deep\\c.txt",
                               u"\\??\\C:\\real\\app\\sub\\deep", u"\\??\\C:\\real\\app\\sub",
                               u"\\??\\C:\\real\\app\\empty", u"\\??\\C:\\real\\app"}));
    const RefusedEntries none = RefusedEntriesOf(tree, 20);
    EXPECT_EQ(none.count, 0u);
    EXPECT_EQ(RefusalReason(tree, none), "");
}

TEST(WalkedTree, RefusedEntriesAreCountedAndTheFirstOnesKept) {
    WalkedTree tree = Tree();
    tree.entries[4].refusal = BootRefusal::kRenameConflict;
    tree.entries[6].refusal = BootRefusal::kLink;
    const RefusedEntries refused = RefusedEntriesOf(tree, 1);
    EXPECT_EQ(refused.first, (std::vector<uint32_t>{4}));
    EXPECT_EQ(refused.count, 2u);
    EXPECT_EQ(RefusalReason(tree, refused),
              std::string(kReasonRenameConflict) + kCountPrefix + "2" + kCountSuffix);

    // The folder's own refusal is told alone: nothing in it was looked at.
    const WalkedTree system =
        TreeOf(OrdinaryPath{u"C:\\Windows"}, {}, true, false, {}, BootRefusal::kSystemFolder);
    EXPECT_EQ(RefusalReason(system, RefusedEntriesOf(system, 20)), kReasonSystemFolder);
}

PlannedRow FileRow(const char16_t* recorded) {
    PlannedRow planned;
    planned.tree =
        TreeOf(OrdinaryPath{}, RecordedPath{recorded}, false, false, {}, BootRefusal::kNone);
    return planned;
}

// Rows are admitted in order: each entry another row admitted before records already is not
// counted again (the same path in another case too), and a row that does not fit in what room
// is left is not admitted, leaves the room and the entries kept as they were, and lets a later
// row that fits in.
TEST(RunPlan, EachPathOnceAndEveryRowWithinTheRoomLeft) {
    std::vector<PlannedRow> rows;
    rows.push_back(FileRow(u"\\??\\C:\\real\\app\\sub\\b.txt"));
    PlannedRow folder;
    folder.folder = true;
    folder.tree = Tree();
    rows.push_back(std::move(folder));
    rows.push_back(FileRow(u"\\??\\c:\\REAL\\APP\\A.TXT"));
    rows.push_back(FileRow(u"\\??\\C:\\a-name-too-long-for-what-is-left.txt"));
    rows.push_back(FileRow(u"\\??\\C:\\x"));
    const auto bytes = [&](size_t row, uint32_t entry) {
        return DeletionBytes(rows[row].tree.entries[entry]);
    };
    size_t treeBytes = 0;
    for (uint32_t entry = 0; entry < rows[1].tree.entries.size(); ++entry) {
        treeBytes += entry == 4 ? 0 : bytes(1, entry);
    }
    size_t room = bytes(0, 0) + treeBytes + bytes(4, 0);
    RecordedKeys keys;
    EXPECT_TRUE(AdmitRow(keys, rows, 0, room, LatinCase()));
    EXPECT_TRUE(AdmitRow(keys, rows, 1, room, LatinCase()));
    // The folder's b.txt is the first row's.
    EXPECT_EQ(rows[1].repeated,
              (std::vector<bool>{false, false, false, false, true, false, false}));
    EXPECT_EQ(room, bytes(4, 0));
    // Its a.txt in another case: nothing more.
    EXPECT_TRUE(AdmitRow(keys, rows, 2, room, LatinCase()));
    EXPECT_EQ(rows[2].repeated, std::vector<bool>{true});
    EXPECT_FALSE(AdmitRow(keys, rows, 3, room, LatinCase()));
    EXPECT_FALSE(rows[3].admitted);
    EXPECT_FALSE(IsRecorded(keys, rows, rows[3].tree.recorded, LatinCase()));
    EXPECT_TRUE(AdmitRow(keys, rows, 4, room, LatinCase()));
    EXPECT_EQ(room, 0u);
    EXPECT_TRUE(IsRecorded(keys, rows, RecordedPath{u"\\??\\C:\\REAL\\app\\sub"}, LatinCase()));
}

TEST(FolderRules, WhatARowMustBeForTheBoot) {
    BootView view;
    view.exists = true;
    view.namedDrive.driveType = 3;
    view.namedDrive.busType = 11;
    view.namedDrive.knownToMountManager = true;
    view.reported.drive = view.namedDrive;
    view.folder = true;
    EXPECT_EQ(DecideBootRefusal(view), BootRefusal::kFolder);
    EXPECT_EQ(DecideBootRefusal(view, Wanted::kFolder), BootRefusal::kNone);
    EXPECT_EQ(DecideBootRefusal(view, Wanted::kEither), BootRefusal::kNone);
    view.folder = false;
    // A folder row whose folder became a file names nothing it stood for.
    EXPECT_EQ(DecideBootRefusal(view, Wanted::kFolder), BootRefusal::kNoFile);
    EXPECT_EQ(DecideBootRefusal(view, Wanted::kEither), BootRefusal::kNone);
    // Inside a folder too, a link refuses.
    view.reparseTag = 0xA0000003UL;
    EXPECT_EQ(DecideBootRefusal(view, Wanted::kEither), BootRefusal::kLink);
}

}  // namespace
