// What a folder row comes to at the restart run: which folders are never walked, the paths of a
// walked tree's entries, the order the boot must meet them in, all or nothing, and the reason a
// refused folder shows.

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "case_tables.h"
#include "paths/folder_rows.h"
#include "resources/texts.h"
#include "restart/folder_rules.h"
#include "restart/listing_records.h"
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

TEST(WalkedTree, NothingRefusedSaysNothing) {
    const RefusedEntries none = RefusedEntriesOf(Tree(), 20);
    EXPECT_EQ(none.count, 0u);
    EXPECT_EQ(RefusalReason(Tree(), none), "");
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

const CaseSensitiveFolder kNoFolderTellsCase = [](std::u16string_view) { return false; };

// The recorded paths of the run's entries, in the order they are written.
std::vector<WideText> RunPaths(const std::vector<PlannedRow>& rows) {
    std::vector<WideText> paths;
    for (const RowEntry& at : RunOrder(rows)) {
        paths.push_back(RecordedPathOf(rows[at.row].tree, at.entry).text);
    }
    return paths;
}

// Every entry comes before the folder that holds it, whichever row listed either: files first in
// the rows' order, then folders deepest first. An inner folder's row, an outer folder's, and a
// file made in the inner folder after the walks, listed last.
TEST(RunPlan, EveryEntryBeforeTheFolderThatHoldsItWhicheverRowListedIt) {
    std::vector<PlannedRow> rows;
    PlannedRow inner;
    inner.folder = true;
    inner.tree = TreeOf(OrdinaryPath{u"C:\\app\\sub"}, RecordedPath{u"\\??\\C:\\real\\app\\sub"},
                        true, false, FileIdentity{7, 72}, BootRefusal::kNone);
    AddWalkedEntry(inner.tree, 0, u"b.txt", false, false, 74, BootRefusal::kNone);
    const uint32_t deep =
        AddWalkedEntry(inner.tree, 0, u"deep", true, false, 75, BootRefusal::kNone);
    AddWalkedEntry(inner.tree, deep, u"c.txt", false, false, 76, BootRefusal::kNone);
    rows.push_back(std::move(inner));
    PlannedRow outer;
    outer.folder = true;
    outer.tree = Tree();
    rows.push_back(std::move(outer));
    rows.push_back(FileRow(u"\\??\\C:\\real\\app\\sub\\new.txt"));
    size_t room = kPendingValueCap;
    RecordedKeys keys;
    for (size_t row = 0; row < rows.size(); ++row) {
        ASSERT_TRUE(AdmitRow(keys, rows, row, room, LatinCase(), kNoFolderTellsCase));
    }
    EXPECT_EQ(RunPaths(rows),
              (std::vector<WideText>{
                  u"\\??\\C:\\real\\app\\sub\\b.txt", u"\\??\\C:\\real\\app\\sub\\deep\\c.txt",
                  u"\\??\\C:\\real\\app\\a.txt", u"\\??\\C:\\real\\app\\sub\\new.txt",
                  u"\\??\\C:\\real\\app\\sub\\deep", u"\\??\\C:\\real\\app\\sub",
                  u"\\??\\C:\\real\\app\\empty", u"\\??\\C:\\real\\app"}));
    // A row not admitted records nothing.
    rows[1].admitted = false;
    EXPECT_EQ(RunPaths(rows).size(), 5u);
}

// The same entry is the same folder and the same name; a name that differs in case alone is
// another entry only in a folder that tells case apart, and only that folder is asked.
TEST(RunPlan, TheSameEntryIsTheSameNameAsItsFolderComparesNames) {
    const std::u16string_view sensitive = u"\\??\\C:\\linux";
    std::vector<std::u16string> asked;
    const CaseSensitiveFolder caseSensitive = [&](std::u16string_view folder) {
        asked.emplace_back(folder);
        return folder == sensitive ||
               folder.substr(0, sensitive.size() + 1) == std::u16string(sensitive) + u"\\";
    };
    const struct {
        int line;
        const char16_t* left;
        const char16_t* right;
        bool same;
        std::vector<std::u16string> asked;
    } cases[] = {
        {__LINE__, u"\\??\\C:\\a\\B.txt", u"\\??\\C:\\a\\B.txt", true, {}},
        {__LINE__,
         u"\\??\\C:\\a\\B.txt",
         u"\\??\\c:\\A\\b.TXT",
         true,
         {u"\\??\\C:", u"\\??\\C:\\a"}},
        {__LINE__, u"\\??\\C:\\a\\B.txt", u"\\??\\C:\\a\\C.txt", false, {}},
        {__LINE__, u"\\??\\C:\\a\\B.txt", u"\\??\\C:\\a\\B.txt2", false, {}},
        // In a folder that tells case apart, two names; in the folder above it, one.
        {__LINE__,
         u"\\??\\C:\\linux\\A.txt",
         u"\\??\\C:\\linux\\a.txt",
         false,
         {u"\\??\\C:\\linux"}},
        {__LINE__, u"\\??\\C:\\LINUX\\a.txt", u"\\??\\C:\\linux\\a.txt", true, {u"\\??\\C:"}},
        {__LINE__,
         u"\\??\\C:\\linux\\Sub\\a",
         u"\\??\\C:\\linux\\sub\\a",
         false,
         {u"\\??\\C:\\linux"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        asked.clear();
        EXPECT_EQ(SameEntry(c.left, c.right, LatinCase(), caseSensitive), c.same);
        EXPECT_EQ(asked, c.asked);
    }
    // Admitted as two rows, two names in a folder that tells case apart are both recorded.
    std::vector<PlannedRow> rows;
    rows.push_back(FileRow(u"\\??\\C:\\linux\\A.txt"));
    rows.push_back(FileRow(u"\\??\\C:\\linux\\a.txt"));
    size_t room = kPendingValueCap;
    RecordedKeys keys;
    ASSERT_TRUE(AdmitRow(keys, rows, 0, room, LatinCase(), caseSensitive));
    ASSERT_TRUE(AdmitRow(keys, rows, 1, room, LatinCase(), caseSensitive));
    EXPECT_EQ(RunPaths(rows),
              (std::vector<WideText>{u"\\??\\C:\\linux\\A.txt", u"\\??\\C:\\linux\\a.txt"}));
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
    EXPECT_TRUE(AdmitRow(keys, rows, 0, room, LatinCase(), kNoFolderTellsCase));
    EXPECT_TRUE(AdmitRow(keys, rows, 1, room, LatinCase(), kNoFolderTellsCase));
    // The folder's b.txt is the first row's.
    EXPECT_EQ(rows[1].repeated,
              (std::vector<bool>{false, false, false, false, true, false, false}));
    EXPECT_EQ(room, bytes(4, 0));
    // Its a.txt in another case: nothing more.
    EXPECT_TRUE(AdmitRow(keys, rows, 2, room, LatinCase(), kNoFolderTellsCase));
    EXPECT_EQ(rows[2].repeated, std::vector<bool>{true});
    EXPECT_FALSE(AdmitRow(keys, rows, 3, room, LatinCase(), kNoFolderTellsCase));
    EXPECT_FALSE(rows[3].admitted);
    EXPECT_FALSE(IsRecorded(keys, rows, rows[3].tree.recorded, LatinCase(), kNoFolderTellsCase));
    EXPECT_TRUE(AdmitRow(keys, rows, 4, room, LatinCase(), kNoFolderTellsCase));
    EXPECT_EQ(room, 0u);
    EXPECT_TRUE(IsRecorded(keys, rows, RecordedPath{u"\\??\\C:\\REAL\\app\\sub"}, LatinCase(),
                           kNoFolderTellsCase));
}

TEST(FolderRules, WhatARowMustBeForTheBoot) {
    BootView view;
    view.exists = true;
    view.namedDrive.driveType = 3;
    view.namedDrive.busType = 11;
    view.namedDrive.knownToMountManager = true;
    view.reported.drive = view.namedDrive;
    view.reported.leadsBack = true;
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

// A listing's records are read only where the buffer holds them: a record of 16 fixed bytes (the
// next record's offset at 0, the name's length at 12) and its name.
TEST(ListingRecords, EachRecordAndItsNameInsideTheBufferAndTheNextForward) {
    constexpr ListingLayout kLayout = {16, 12};
    // A record at at: the offset of the next, and a name of nameBytes.
    const auto record = [](std::string& bytes, size_t at, uint32_t next, uint32_t nameBytes) {
        if (bytes.size() < at + 16 + nameBytes) {
            bytes.resize(at + 16 + nameBytes, 'n');
        }
        for (size_t i = 0; i < 4; ++i) {
            bytes[at + i] = static_cast<char>(next >> (8 * i));
            bytes[at + 12 + i] = static_cast<char>(nameBytes >> (8 * i));
        }
    };
    const struct {
        int line;
        std::vector<std::array<uint32_t, 3>> records;  // at, next, name bytes
        size_t size;
        std::optional<std::vector<size_t>> read;
    } cases[] = {
        {__LINE__, {{0, 24, 4}, {24, 0, 6}}, 64, {{0, 24}}},
        {__LINE__, {{0, 0, 0}}, 16, {{0}}},
        // The last name runs past the end; the buffer ends inside a fixed part.
        {__LINE__, {{0, 24, 4}, {24, 0, 40}}, 64, std::nullopt},
        {__LINE__, {{0, 0, 2}}, 17, std::nullopt},
        {__LINE__, {{0, 0, 0}}, 8, std::nullopt},
        // An odd name, an offset that is not aligned, one into its own record, one past the end.
        {__LINE__, {{0, 0, 3}}, 24, std::nullopt},
        {__LINE__, {{0, 20, 2}, {20, 0, 2}}, 64, std::nullopt},
        {__LINE__, {{0, 16, 4}, {16, 0, 2}}, 64, std::nullopt},
        {__LINE__, {{0, 64, 4}}, 64, std::nullopt},
        {__LINE__, {{0, 0x7FFFFFF8, 4}}, 64, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        std::string bytes(c.size, '\0');
        for (const auto& [at, next, nameBytes] : c.records) {
            record(bytes, at, next, nameBytes);
        }
        bytes.resize(c.size);
        EXPECT_EQ(ListingRecords(bytes, kLayout), c.read);
    }
}

}  // namespace
