// The decision a restart run makes for each row from what the boot will see of its file, and the
// pending renames that touch a file or a folder. The records are the ones the platform queries
// give for each case, including those Wine cannot show (links, reparse tags, buses, SYSTEM's
// right).

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "case_tables.h"
#include "resources/texts.h"
#include "restart/boot_view.h"
#include "restart/rename_rules.h"
#include "ui/refusal_text.h"

namespace {

constexpr unsigned kFixed = 3;
constexpr unsigned kRemovable = 2;
constexpr unsigned kRemote = 4;
constexpr unsigned kCdRom = 5;
constexpr unsigned kRamDisk = 6;
constexpr unsigned kUnknown = 0;
constexpr unsigned kNoRoot = 1;
constexpr unsigned kBusSata = 11;
constexpr unsigned kBusUsb = 7;
constexpr unsigned kBusSd = 12;
constexpr unsigned kBusMmc = 13;

VolumeFacts Drive(unsigned type, std::optional<unsigned> bus = kBusSata) {
    VolumeFacts facts;
    facts.driveType = type;
    facts.busType = bus;
    facts.knownToMountManager = true;
    return facts;
}

VolumeFacts Share() {
    VolumeFacts facts;
    facts.share = true;
    return facts;
}

VolumeFacts Subst() {
    VolumeFacts facts = Drive(kFixed);
    facts.subst = true;
    return facts;
}

// An ordinary file on a fixed disk that SYSTEM may delete: the boot deletes it.
BootView Plain() {
    BootView view;
    view.exists = true;
    view.namedDrive = Drive(kFixed);
    view.reported.path = LiteralPath{u"\\\\?\\C:\\a.txt"};
    view.reported.leadsBack = true;
    view.reported.drive = Drive(kFixed);
    view.systemMayDelete = true;
    return view;
}

// The file's final path names a drive of these facts, on a volume of the same.
void OnFinalDrive(BootView& view, const VolumeFacts& drive) {
    view.reported.drive = drive;
    view.reported.volume = drive;
}

template <typename Change>
BootView PlainWith(Change change) {
    BootView view = Plain();
    change(view);
    return view;
}

// A fixed disk on the bus given, as the volume the file really is on.
BootView OnBus(std::optional<unsigned> bus) {
    return PlainWith([bus](BootView& v) { v.reported.volume = Drive(kFixed, bus); });
}

struct Case {
    const char* what;
    BootView view;
    BootRefusal expected;
};

TEST(BootRefusal, EachRowOfTheReasonTableAndTheFirstThatApplies) {
    const Case cases[] = {
        {"a plain file", Plain(), BootRefusal::kNone},
        {"SYSTEM's right unknown (no access check)",
         PlainWith([](BootView& v) { v.systemMayDelete.reset(); }), BootRefusal::kNone},
        // The buses the boot has, and those it may not have yet.
        {"SCSI", OnBus(1), BootRefusal::kNone},
        {"ATA", OnBus(3), BootRefusal::kNone},
        {"RAID", OnBus(8), BootRefusal::kNone},
        {"SAS", OnBus(10), BootRefusal::kNone},
        {"Storage Spaces", OnBus(16), BootRefusal::kNone},
        {"NVMe", OnBus(17), BootRefusal::kNone},
        {"iSCSI", OnBus(9), BootRefusal::kNoBootVolume},
        {"a virtual disk", OnBus(14), BootRefusal::kNoBootVolume},
        {"a mounted VHD (file-backed)", OnBus(15), BootRefusal::kNoBootVolume},
        {"1394", OnBus(4), BootRefusal::kNoBootVolume},
        {"an unknown bus", OnBus(0), BootRefusal::kNoBootVolume},
        {"no answer about the bus (a logon driver's volume)", OnBus(std::nullopt),
         BootRefusal::kNoBootVolume},
        {"a RAM disk", PlainWith([](BootView& v) {
             v.namedDrive = Drive(kRamDisk), OnFinalDrive(v, Drive(kRamDisk));
         }),
         BootRefusal::kNoBootVolume},
        {"a letter the mount manager does not have (DefineDosDevice)",
         PlainWith([](BootView& v) { v.namedDrive.knownToMountManager = false; }),
         BootRefusal::kNoBootVolume},
        // Judged by the volume the file is on, not the letter its path begins with.
        {"a USB disk mounted in a folder of C:", OnBus(kBusUsb), BootRefusal::kRemovable},
        {"the pending operations unreadable",
         PlainWith([](BootView& v) { v.pendingUnrecognised = true; }),
         BootRefusal::kPendingUnrecognised},
        {"the pending operations unreadable, before anything else",
         PlainWith([](BootView& v) { v.pendingUnrecognised = true, v.exists = false; }),
         BootRefusal::kPendingUnrecognised},
        {"a file with other names", PlainWith([](BootView& v) { v.linkCount = 3; }),
         BootRefusal::kNone},
        {"no file now", PlainWith([](BootView& v) { v.exists = false; }), BootRefusal::kNoFile},
        {"no file, though also moved and a folder",
         PlainWith([](BootView& v) { v.exists = false, v.movedSinceListing = v.folder = true; }),
         BootRefusal::kNoFile},
        {"moved since listing", PlainWith([](BootView& v) { v.movedSinceListing = true; }),
         BootRefusal::kMovedSinceListing},
        {"a folder", PlainWith([](BootView& v) { v.folder = true; }), BootRefusal::kFolder},
        {"a junction is a folder first",
         PlainWith([](BootView& v) { v.folder = true, v.reparseTag = 0xA0000003UL; }),
         BootRefusal::kFolder},
        {"a share",
         PlainWith([](BootView& v) { v.namedDrive = Share(), OnFinalDrive(v, Share()); }),
         BootRefusal::kNetwork},
        {"a network drive letter", PlainWith([](BootView& v) { v.namedDrive = Drive(kRemote); }),
         BootRefusal::kNetwork},
        {"a local letter whose folder link leads to a share",
         PlainWith([](BootView& v) { OnFinalDrive(v, Share()); }), BootRefusal::kNetwork},
        {"a SUBST drive", PlainWith([](BootView& v) { v.namedDrive = Subst(); }),
         BootRefusal::kSubst},
        {"a removable disk", PlainWith([](BootView& v) { OnFinalDrive(v, Drive(kRemovable)); }),
         BootRefusal::kRemovable},
        {"a removable letter", PlainWith([](BootView& v) { v.namedDrive = Drive(kRemovable); }),
         BootRefusal::kRemovable},
        {"a fixed disk on USB",
         PlainWith([](BootView& v) { OnFinalDrive(v, Drive(kFixed, kBusUsb)); }),
         BootRefusal::kRemovable},
        {"an SD card", PlainWith([](BootView& v) { OnFinalDrive(v, Drive(kFixed, kBusSd)); }),
         BootRefusal::kRemovable},
        {"an MMC card", PlainWith([](BootView& v) { OnFinalDrive(v, Drive(kFixed, kBusMmc)); }),
         BootRefusal::kRemovable},
        {"a CD or DVD", PlainWith([](BootView& v) {
             v.namedDrive = Drive(kCdRom), OnFinalDrive(v, Drive(kCdRom));
         }),
         BootRefusal::kOptical},
        {"a volume without a letter",
         PlainWith([](BootView& v) { v.reported = ReportedPlace{}, v.reported.noLetter = true; }),
         BootRefusal::kNoBootVolume},
        // A path the system reports that leads elsewhere (Wine's "a\\foo" for "a\\foo."), or
        // none at all: the file is recorded by its folder's final path and its name, which must
        // lead back to it; without either, a link may lie on the way.
        {"its final path leads elsewhere",
         PlainWith([](BootView& v) { v.reported.leadsBack = false; }), BootRefusal::kUnknowable},
        {"its final path leads elsewhere, its folder's back", PlainWith([](BootView& v) {
             v.reported.leadsBack = false, v.byFolder = v.reported, v.byFolder.leadsBack = true;
         }),
         BootRefusal::kNone},
        {"by its folder, on a removable disk", PlainWith([](BootView& v) {
             v.reported.leadsBack = false, v.byFolder = v.reported, v.byFolder.leadsBack = true;
             v.byFolder.volume = Drive(kRemovable);
         }),
         BootRefusal::kRemovable},
        {"a final path with no drive in it",
         PlainWith([](BootView& v) { v.reported.drive.reset(), v.reported.volume.reset(); }),
         BootRefusal::kNoBootVolume},
        // Wine reports no final path beyond MAX_PATH: the file is where its letter puts it.
        {"no final path for another reason, on a fixed letter",
         PlainWith([](BootView& v) { v.reported = ReportedPlace{}; }), BootRefusal::kUnknowable},
        {"no final path for another reason, its folder's leads back", PlainWith([](BootView& v) {
             v.byFolder = v.reported, v.reported = ReportedPlace{}, v.byFolder.leadsBack = true;
         }),
         BootRefusal::kNone},
        {"no final path for another reason, on a removable letter", PlainWith([](BootView& v) {
             v.reported = ReportedPlace{}, v.namedDrive = Drive(kRemovable);
         }),
         BootRefusal::kRemovable},
        // A share's final path is judged as the share, whatever volume was asked of it.
        {"a share with a fixed volume", PlainWith([](BootView& v) {
             v.reported.drive = Share(), v.reported.volume = Drive(kFixed);
         }),
         BootRefusal::kNetwork},
        {"a drive of unknown kind",
         PlainWith([](BootView& v) { OnFinalDrive(v, Drive(kUnknown)); }),
         BootRefusal::kNoBootVolume},
        {"a letter that is no drive", PlainWith([](BootView& v) { v.namedDrive = Drive(kNoRoot); }),
         BootRefusal::kNoBootVolume},
        {"a symbolic link", PlainWith([](BootView& v) { v.reparseTag = 0xA000000CUL; }),
         BootRefusal::kLink},
        {"a mount point file", PlainWith([](BootView& v) { v.reparseTag = 0xA0000003UL; }),
         BootRefusal::kLink},
        {"a cloud placeholder", PlainWith([](BootView& v) { v.reparseTag = 0x9000001AUL; }),
         BootRefusal::kSpecialFile},
        {"a deduplicated file", PlainWith([](BootView& v) { v.reparseTag = 0x80000013UL; }),
         BootRefusal::kSpecialFile},
        {"an app execution alias", PlainWith([](BootView& v) { v.reparseTag = 0x8000001BUL; }),
         BootRefusal::kSpecialFile},
        {"a file the system compressed (WOF)",
         PlainWith([](BootView& v) { v.reparseTag = 0x80000017UL; }), BootRefusal::kNone},
        {"a link on a network drive is refused for the network",
         PlainWith([](BootView& v) { v.namedDrive = Drive(kRemote), v.reparseTag = 0xA000000CUL; }),
         BootRefusal::kNetwork},
        {"a pending rename", PlainWith([](BootView& v) { v.renameConflict = true; }),
         BootRefusal::kRenameConflict},
        {"a link with a pending rename is refused as a link",
         PlainWith([](BootView& v) { v.renameConflict = true, v.reparseTag = 0xA000000CUL; }),
         BootRefusal::kLink},
        {"SYSTEM may not delete", PlainWith([](BootView& v) { v.systemMayDelete = false; }),
         BootRefusal::kSystemMayNotDelete},
        // What cannot be known is refused: the file may be a folder or a link.
        {"attributes unreadable", PlainWith([](BootView& v) { v.attributesUnknown = true; }),
         BootRefusal::kUnknowable},
        {"attributes unreadable, before a link's tag and a rename", PlainWith([](BootView& v) {
             v.attributesUnknown = true, v.reparseTag = 0xA000000CUL, v.renameConflict = true;
         }),
         BootRefusal::kUnknowable},
        {"attributes unreadable, after no file",
         PlainWith([](BootView& v) { v.attributesUnknown = true, v.exists = false; }),
         BootRefusal::kNoFile},
        {"a pending rename before SYSTEM's right",
         PlainWith([](BootView& v) { v.renameConflict = true, v.systemMayDelete = false; }),
         BootRefusal::kRenameConflict},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecideBootRefusal(c.view), c.expected) << c.what;
    }
    // Inside a folder, and as a folder row's own folder, the same.
    BootView unknown = PlainWith([](BootView& v) { v.attributesUnknown = true, v.folder = true; });
    EXPECT_EQ(DecideBootRefusal(unknown, Wanted::kEither), BootRefusal::kUnknowable);
    EXPECT_EQ(DecideBootRefusal(unknown, Wanted::kFolder), BootRefusal::kUnknowable);
}

TEST(BootRefusal, EachRefusalHasItsOwnTextAndAnAcceptedRowNone) {
    EXPECT_EQ(BootRefusalReason(BootRefusal::kNone), "");
    EXPECT_EQ(BootRefusalReason(BootRefusal::kNoFile), kReasonNoFile);
    EXPECT_EQ(BootRefusalReason(BootRefusal::kMovedSinceListing), kReasonMovedSinceListing);
    EXPECT_EQ(BootRefusalReason(BootRefusal::kRenameConflict), kReasonRenameConflict);
    EXPECT_EQ(BootRefusalReason(BootRefusal::kSystemMayNotDelete), kReasonSystemMayNotDelete);
    EXPECT_EQ(BootRefusalReason(BootRefusal::kPendingUnrecognised), kReasonPendingUnrecognised);
    std::vector<Text> texts;
    for (int r = static_cast<int>(BootRefusal::kPendingUnrecognised);
         r <= static_cast<int>(BootRefusal::kOverCap); ++r) {
        const Text text = BootRefusalReason(static_cast<BootRefusal>(r));
        EXPECT_FALSE(text.empty()) << r;
        EXPECT_EQ(std::count(texts.begin(), texts.end(), text), 0) << r;
        texts.push_back(text);
    }
    EXPECT_EQ(RequestRefusalReason(5), kReasonNeedsAdministrator);
    EXPECT_EQ(RequestRefusalReason(32), Text(kReasonRefusedPrefix) + "32)");
    EXPECT_EQ(RequestRefusalReason(1224), Text(kReasonRefusedPrefix) + "1224)");
}

TEST(AcceptedNote, OnlyAFileWithOtherNamesSaysHowMany) {
    EXPECT_EQ(AcceptedNote(Plain()), "");
    EXPECT_EQ(AcceptedNote(PlainWith([](BootView& v) { v.linkCount = 0; })), "");
    EXPECT_EQ(AcceptedNote(PlainWith([](BootView& v) { v.linkCount = 2; })),
              Text(kOtherLinksPrefix) + "1" + kOtherLinksSuffix);
    EXPECT_EQ(AcceptedNote(PlainWith([](BootView& v) { v.linkCount = 12; })),
              Text(kOtherLinksPrefix) + "11" + kOtherLinksSuffix);
    // A folder's count is of its own entries, not other names.
    EXPECT_EQ(AcceptedNote(PlainWith([](BootView& v) { v.folder = true, v.linkCount = 3; })), "");
}

TEST(MovedSinceListing, OnlyAFinalPathThatChangedSinceListing) {
    const struct {
        std::optional<WideText> listed;
        const char16_t* now;
        bool moved;
    } cases[] = {
        {u"\\\\?\\C:\\Users\\u\\a\\b.dll", u"\\\\?\\C:\\Users\\u\\a\\b.dll", false},
        // A link the user listed through still leads where it did.
        {u"\\\\?\\D:\\Profile\\b.dll", u"\\\\?\\D:\\Profile\\b.dll", false},
        // The file system's spelling of the same name.
        {u"\\\\?\\C:\\Users\\u\\A\\B.DLL", u"\\\\?\\c:\\users\\u\\a\\b.dll", false},
        // A folder on the way re-pointed since: a junction to the system folder.
        {u"\\\\?\\C:\\Users\\u\\a\\b.dll", u"\\\\?\\C:\\Windows\\System32\\b.dll", true},
        {u"\\\\?\\C:\\x\\b.dll", u"\\\\?\\C:\\x\\b.dl", true},
        // Not told at listing, or not now: nothing to compare.
        {std::nullopt, u"\\\\?\\C:\\Windows\\System32\\b.dll", false},
        {u"", u"\\\\?\\C:\\x\\b.dll", false},
        {u"\\\\?\\C:\\x\\b.dll", u"", false},
    };
    for (const auto& c : cases) {
        const std::optional<LiteralPath> listed =
            c.listed ? std::optional<LiteralPath>(LiteralPath{*c.listed}) : std::nullopt;
        EXPECT_EQ(MovedSinceListing(listed, LiteralPath{c.now}, AsciiCase()), c.moved)
            << std::string(c.now, c.now + std::char_traits<char16_t>::length(c.now));
    }
}

// A rename another program has pending touches a file when it moves, replaces or makes the file
// or a folder above it; a folder also when it moves anything into or out of it, there now or not.
TEST(RenameRules, TheFileOrAFolderAboveItAndForAFolderWhatLiesInIt) {
    RenamedNames renamed;
    for (const char16_t* name : {u"C:\\app\\x.new", u"C:\\app\\X.dll", u"D:\\old", u"D:\\new",
                                 u"E:\\", u"G:\\tree\\sub\\later.dll", u"H:\\\u00c4rger\\a"}) {
        AddRenamedName(renamed, OrdinaryPath{name}, LatinCase());
    }
    const struct {
        const char16_t* path;
        bool file;
        bool folder;
    } cases[] = {
        {u"C:\\app\\x.dll", true, true},        // replaced, in another case
        {u"c:\\APP\\x.new", true, true},        // moved away
        {u"C:\\app\\x.dll.bak", false, false},  // a neighbour whose name begins the same
        {u"C:\\app\\x.dl", false, false},
        // A folder that holds a renamed file: untouched as a file, touched as a folder.
        {u"C:\\app", false, true},
        {u"C:\\ap", false, false},
        {u"D:\\old\\a.txt", true, true},       // under a folder that moves
        {u"D:\\new\\sub\\a.txt", true, true},  // under a folder that is made
        {u"D:\\older\\a.txt", false, false},
        {u"E:\\a.txt", true, true},  // a root that ends in its separator
        {u"F:\\a.txt", false, false},
        // A file the rename will make, in a folder that is there: the folder stays at the boot.
        {u"G:\\tree", false, true},
        {u"G:\\TREE\\SUB", false, true},
        {u"G:\\tree\\sub2", false, false},
        // Letters beyond ASCII, as the table folds them.
        {u"h:\\\u00e4RGER", false, true},
        {u"H:\\\u00e4rger\\A", true, true},
    };
    for (const auto& c : cases) {
        const OrdinaryPath path{c.path};
        const std::string what(c.path, c.path + std::char_traits<char16_t>::length(c.path));
        EXPECT_EQ(RenameTouchesFile(renamed, path, LatinCase()), c.file) << what;
        EXPECT_EQ(RenameTouchesFolder(renamed, path, LatinCase()), c.folder) << what;
    }
    EXPECT_EQ(RenamedNamesIn(renamed, OrdinaryPath{u"c:\\app"}, LatinCase()),
              (std::vector<OrdinaryPath>{{u"C:\\app\\x.new"}, {u"C:\\app\\X.dll"}}));
    EXPECT_TRUE(RenamedNamesIn(renamed, OrdinaryPath{u"C:\\ap"}, LatinCase()).empty());
    EXPECT_FALSE(RenameTouchesFolder(RenamedNames{}, OrdinaryPath{u"C:\\a"}, LatinCase()));
}

}  // namespace
