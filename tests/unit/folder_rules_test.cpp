// What a folder row comes to at the restart run: which folders are never walked, the order the
// boot must meet the entries in, all or nothing, and the reason a refused folder shows.

#include <gtest/gtest.h>

#include <cctype>
#include <vector>

#include "paths/folder_rows.h"
#include "resources/texts.h"
#include "restart/folder_rules.h"

namespace {

bool AsciiSameName(const WideText& left, const WideText& right) {
    if (left.size() != right.size()) {
        return false;
    }
    for (size_t i = 0; i < left.size(); ++i) {
        const auto fold = [](char16_t unit) {
            return unit < 128 ? static_cast<char16_t>(std::toupper(unit)) : unit;
        };
        if (fold(left[i]) != fold(right[i])) {
            return false;
        }
    }
    return true;
}

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
    system.windows = u"C:\\OS\\Windows";
    system.users = u"C:\\Users";
    system.others = {u"C:\\Program Files", u"C:\\Program Files (x86)", u"C:\\ProgramData",
                     u"D:\\Profiles\\alice"};
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
        EXPECT_EQ(IsSystemFolder(c.folder, system, AsciiSameName), c.system)
            << std::string(c.folder, c.folder + std::char_traits<char16_t>::length(c.folder));
    }
    // What the system does not say is no system folder.
    EXPECT_FALSE(IsSystemFolder(u"C:\\old\\app", SystemFolders{}, AsciiSameName));
}

FolderEntry Entry(const char16_t* path, bool folder, size_t depth,
                  BootRefusal refusal = BootRefusal::kNone) {
    FolderEntry entry;
    entry.path = path;
    entry.key = WideText(u"\\\\?\\") + path;
    entry.folder = folder;
    entry.depth = depth;
    entry.refusal = refusal;
    return entry;
}

// C:\app holds a.txt, sub (b.txt, deep (c.txt)) and an empty folder, in the walk's order.
std::vector<FolderEntry> Tree() {
    return {Entry(u"C:\\app", true, 0),
            Entry(u"C:\\app\\a.txt", false, 1),
            Entry(u"C:\\app\\sub", true, 1),
            Entry(u"C:\\app\\empty", true, 1),
            Entry(u"C:\\app\\sub\\b.txt", false, 2),
            Entry(u"C:\\app\\sub\\deep", true, 2),
            Entry(u"C:\\app\\sub\\deep\\c.txt", false, 3)};
}

std::vector<WideText> PathsOf(const std::vector<FolderEntry>& entries,
                              const std::vector<size_t>& indices) {
    std::vector<WideText> paths;
    for (size_t index : indices) {
        paths.push_back(entries[index].path);
    }
    return paths;
}

TEST(FolderRules, FilesThenFoldersDeepestFirstThenTheFolderItself) {
    const std::vector<FolderEntry> tree = Tree();
    const FolderPlan plan = PlanFolderDeletion(tree);
    EXPECT_TRUE(plan.refused.empty());
    EXPECT_EQ(PathsOf(tree, plan.toRecord),
              (std::vector<WideText>{u"C:\\app\\a.txt", u"C:\\app\\sub\\b.txt",
                                     u"C:\\app\\sub\\deep\\c.txt", u"C:\\app\\sub\\deep",
                                     u"C:\\app\\sub", u"C:\\app\\empty", u"C:\\app"}));
    EXPECT_EQ(FolderRefusalReason(tree, plan), "");
}

TEST(FolderRules, OneRefusedEntryRefusesTheFolderAndRecordsNothing) {
    std::vector<FolderEntry> tree = Tree();
    tree[4].refusal = BootRefusal::kRenameConflict;
    tree[6].refusal = BootRefusal::kLink;
    const FolderPlan plan = PlanFolderDeletion(tree);
    EXPECT_TRUE(plan.toRecord.empty());
    EXPECT_EQ(plan.refused, (std::vector<size_t>{4, 6}));
    EXPECT_EQ(FolderRefusalReason(tree, plan),
              std::string(kReasonRenameConflict) + kCountPrefix + "2" + kCountSuffix);

    // The folder's own refusal is told alone: nothing in it was looked at.
    const std::vector<FolderEntry> system = {
        Entry(u"C:\\Windows", true, 0, BootRefusal::kSystemFolder)};
    EXPECT_EQ(FolderRefusalReason(system, PlanFolderDeletion(system)), kReasonSystemFolder);
}

TEST(FolderRules, WhatARowMustBeForTheBoot) {
    BootView view;
    view.exists = true;
    view.namedDrive.driveType = 3;
    view.namedDrive.busType = 11;
    view.namedDrive.knownToMountManager = true;
    view.finalDrive = view.namedDrive;
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
