// Every spelling another program's pending operation may record a file by, read into the one form
// the program compares: the object namespace's links and devices, a volume's other names, the
// markers before a name, and names of no drive the program knows.

#include <gtest/gtest.h>

#include "pending/spelling_rules.h"

namespace {

const SpellingTable kTable = {
    {
        {u"\\Device\\HarddiskVolume1", u"C:"},
        {u"Volume{0fa2b3c4-0000-0000-0000-100000000000}", u"C:"},
        {u"\\Device\\HarddiskVolume12", u"D:"},
    },
    u"C:\\Windows",
};

TEST(Spellings, EachSpellingComesToTheFormTheProgramCompares) {
    constexpr SpellingKind kPath = SpellingKind::kPath;
    constexpr SpellingKind kToOpen = SpellingKind::kToOpen;
    constexpr SpellingKind kUnknown = SpellingKind::kUnknown;
    const struct {
        int line;
        const char16_t* recorded;
        SpellingKind kind;
        const char16_t* text;
    } cases[] = {
        {__LINE__, u"\\??\\C:\\dir\\a.txt", kPath, u"C:\\dir\\a.txt"},
        // The caller's DOS devices, the global ones the boot has, and their old name.
        {__LINE__, u"\\DosDevices\\C:\\a.txt", kPath, u"C:\\a.txt"},
        {__LINE__, u"\\GLOBAL??\\C:\\a.txt", kPath, u"C:\\a.txt"},
        {__LINE__, u"\\dosdevices\\c:\\a.txt", kPath, u"c:\\a.txt"},
        {__LINE__, u"\\global??\\C:\\a.txt", kPath, u"C:\\a.txt"},
        // Markers: "*" and digits before a source, "!" (replace), "@" (may fail quietly).
        {__LINE__, u"*1\\??\\C:\\a.txt", kPath, u"C:\\a.txt"},
        {__LINE__, u"*12@\\??\\C:\\a.txt", kPath, u"C:\\a.txt"},
        {__LINE__, u"!\\GLOBAL??\\C:\\b.txt", kPath, u"C:\\b.txt"},
        {__LINE__, u"@!\\DosDevices\\C:\\b.txt", kPath, u"C:\\b.txt"},
        // Back to the root of the object namespace, and to a device.
        {__LINE__, u"\\??\\GLOBALROOT\\Device\\HarddiskVolume1\\a.txt", kPath, u"C:\\a.txt"},
        {__LINE__, u"\\??\\GLOBALROOT\\DosDevices\\D:\\a.txt", kPath, u"D:\\a.txt"},
        {__LINE__, u"\\Device\\HarddiskVolume1\\dir\\a.txt", kPath, u"C:\\dir\\a.txt"},
        {__LINE__, u"\\device\\harddiskvolume1\\a.txt", kPath, u"C:\\a.txt"},
        {__LINE__, u"\\Device\\HarddiskVolume12\\a.txt", kPath, u"D:\\a.txt"},
        {__LINE__, u"\\Device\\HarddiskVolume1", kPath, u"C:\\"},
        // A volume by its GUID, in either case.
        {__LINE__, u"\\??\\Volume{0FA2B3C4-0000-0000-0000-100000000000}\\a.txt", kPath,
         u"C:\\a.txt"},
        // Devices and volumes no letter stands for: only the disk can say where they lead.
        {__LINE__, u"\\Device\\HarddiskVolume13\\a.txt", kToOpen,
         u"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume13\\a.txt"},
        {__LINE__, u"\\??\\GLOBALROOT\\Device\\HarddiskVolume5\\a", kToOpen,
         u"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume5\\a"},
        {__LINE__, u"\\??\\Volume{99999999-0000-0000-0000-100000000000}\\a", kToOpen,
         u"\\\\?\\Volume{99999999-0000-0000-0000-100000000000}\\a"},
        {__LINE__, u"\\??\\Volume{99999999-0000-0000-0000-100000000000}", kToOpen,
         u"\\\\?\\Volume{99999999-0000-0000-0000-100000000000}\\"},
        // Shares, however the link is spelled.
        {__LINE__, u"\\??\\UNC\\server\\share\\a.txt", kPath, u"\\\\server\\share\\a.txt"},
        {__LINE__, u"!\\??\\unc\\server\\share\\a.txt", kPath, u"\\\\server\\share\\a.txt"},
        {__LINE__, u"\\GLOBAL??\\UNC\\server\\share", kPath, u"\\\\server\\share"},
        {__LINE__, u"\\Device\\Mup\\server\\share\\a.txt", kPath, u"\\\\server\\share\\a.txt"},
        // The Windows folder the boot has before any letter.
        {__LINE__, u"\\SystemRoot\\System32\\a.dll", kPath, u"C:\\Windows\\System32\\a.dll"},
        {__LINE__, u"\\systemroot", kPath, u"C:\\Windows"},
        {__LINE__, u"\\SystemRootX\\a.dll", kUnknown, u""},
        // A drive by itself, and an ordinary path some writers record.
        {__LINE__, u"\\??\\C:", kPath, u"C:\\"},
        {__LINE__, u"C:\\a.txt", kPath, u"C:\\a.txt"},
        // Names the Win32 calls would trim keep their final dot and space.
        {__LINE__, u"\\??\\C:\\name. ", kPath, u"C:\\name. "},
        {__LINE__, u"\\??\\D:\\\u6587\u4ef6\\\U0001F600.txt", kPath,
         u"D:\\\u6587\u4ef6\\\U0001F600.txt"},
        // Names of no drive or share the program knows.
        {__LINE__, u"\\??\\PhysicalDrive0", kUnknown, u""},
        {__LINE__, u"\\??\\UNC\\", kUnknown, u""},
        {__LINE__, u"\\Device\\Mup\\", kUnknown, u""},
        {__LINE__, u"\\BaseNamedObjects\\a", kUnknown, u""},
        {__LINE__, u"*\\??\\C:\\a.txt", kUnknown, u""},
        {__LINE__, u"a.txt", kUnknown, u""},
        {__LINE__, u"", kUnknown, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        const SpelledName spelled = ReadSpelling(c.recorded, kTable);
        EXPECT_EQ(spelled.kind, c.kind);
        EXPECT_EQ(spelled.text, c.text);
    }
    // Without the Windows folder, "\SystemRoot" names nothing the program knows.
    EXPECT_EQ(ReadSpelling(u"\\SystemRoot\\a", SpellingTable{}).kind, kUnknown);
}

TEST(Spellings, ANameIsShownAsItsPathOrAsRecordedWithoutMarkers) {
    EXPECT_EQ(ShownName(u"*1\\DosDevices\\C:\\a.txt", kTable), u"C:\\a.txt");
    EXPECT_EQ(ShownName(u"!\\Device\\HarddiskVolume13\\a", kTable),
              u"\\Device\\HarddiskVolume13\\a");
    EXPECT_EQ(ShownName(u"@\\??\\PhysicalDrive0", kTable), u"\\??\\PhysicalDrive0");
}

}  // namespace
