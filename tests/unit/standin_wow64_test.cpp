// The stand-in's view of a 32-bit process on 64-bit Windows: which paths are redirected, the switch
// that turns redirection off, IsWow64Process through GetProcAddress, and the files opened to ask
// where they are. The WOW64 scenarios trust these; here they are proven.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "standin/harness.h"

namespace {

using BoolFunction = BOOL (*)(HANDLE, BOOL*);

class StandinWow64 : public ::testing::Test {
protected:
    void SetUp() override {
        standin::Reset();
        standin::AddFile("C:\\Windows\\System32\\both.dll");
        standin::AddFile("C:\\Windows\\SysWOW64\\both.dll");
        standin::AddFile("C:\\Windows\\SysWOW64\\only32.dll");
        standin::AddFile("C:\\Windows\\System32\\only64.dll");
        for (const char* exempt : {"catroot", "catroot2", "drivers\\etc", "logfiles", "spool"}) {
            standin::AddFile(std::string("C:\\Windows\\System32\\") + exempt + "\\native.txt");
        }
        standin::AddFile("C:\\Windows\\System32\\drivers\\native.sys");
        standin::AddFile("C:\\Windows\\System32\\catroot3\\native.txt");
    }

    static bool Exists(const char16_t* path) {
        return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
    }

    // Where the file a path opens really is; "" when it opens nothing.
    static std::u16string Where(const std::u16string& path) {
        HANDLE file = CreateFileW(path.c_str(), 0, 7, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return u"";
        }
        std::u16string buffer(MAX_PATH, u'\0');
        const DWORD length = GetFinalPathNameByHandleW(file, buffer.data(), MAX_PATH, 0);
        EXPECT_TRUE(CloseHandle(file));
        buffer.resize(length);
        return buffer;
    }
};

TEST_F(StandinWow64, RedirectedFolderExemptSubfoldersAndSysnative) {
    standin::SetWow64(true);
    EXPECT_TRUE(Exists(u"C:\\Windows\\System32\\only32.dll"));
    EXPECT_FALSE(Exists(u"C:\\Windows\\System32\\only64.dll"));
    EXPECT_TRUE(Exists(u"c:\\WINDOWS\\system32\\ONLY32.DLL"));
    EXPECT_TRUE(Exists(u"C:\\Windows\\SysWOW64\\only32.dll"));
    // The exempt subfolders are the native ones, and only they: drivers itself and catroot3 are
    // redirected.
    for (const char16_t* exempt :
         {u"catroot", u"catroot2", u"drivers\\etc", u"logfiles", u"spool"}) {
        EXPECT_TRUE(Exists(
            (std::u16string(u"C:\\Windows\\System32\\") + exempt + u"\\native.txt").c_str()));
    }
    EXPECT_FALSE(Exists(u"C:\\Windows\\System32\\drivers\\native.sys"));
    EXPECT_FALSE(Exists(u"C:\\Windows\\System32\\catroot3\\native.txt"));
    EXPECT_TRUE(Exists(u"C:\\Windows\\Sysnative\\only64.dll"));
    EXPECT_FALSE(Exists(u"C:\\Windows\\Sysnative\\only32.dll"));
    // A name that only starts like the folder is not inside it.
    standin::AddFile("C:\\Windows\\System32x\\a.txt");
    EXPECT_TRUE(Exists(u"C:\\Windows\\System32x\\a.txt"));

    // Without WOW64 the disk is seen as it is, and Sysnative is not there.
    standin::SetWow64(false);
    EXPECT_TRUE(Exists(u"C:\\Windows\\System32\\only64.dll"));
    EXPECT_FALSE(Exists(u"C:\\Windows\\System32\\only32.dll"));
    EXPECT_FALSE(Exists(u"C:\\Windows\\Sysnative\\only64.dll"));
    EXPECT_TRUE(standin::Failures().empty());
}

TEST_F(StandinWow64, TheSwitchShowsTheNativeViewUntilReverted) {
    standin::SetWow64(true);
    PVOID saved = nullptr;
    ASSERT_TRUE(Wow64DisableWow64FsRedirection(&saved));
    EXPECT_TRUE(Exists(u"C:\\Windows\\System32\\only64.dll"));
    EXPECT_FALSE(Exists(u"C:\\Windows\\System32\\only32.dll"));
    // The alias stays, as under Wine 8.
    EXPECT_TRUE(Exists(u"C:\\Windows\\Sysnative\\only64.dll"));
    EXPECT_EQ(GetFileAttributesW(u"C:\\Windows\\System32\\drivers"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(Wow64RevertWow64FsRedirection(saved));
    EXPECT_FALSE(Exists(u"C:\\Windows\\System32\\only64.dll"));
    EXPECT_TRUE(standin::Failures().empty());

    // A read-only attribute may be cleared in that view; any other call while it is off is a
    // fault of the program's, and so is a revert without a disable.
    ASSERT_TRUE(Wow64DisableWow64FsRedirection(&saved));
    SetFileAttributesW(u"C:\\Windows\\System32\\only64.dll", FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(standin::Failures().empty());
    GetModuleHandleA(nullptr);
    EXPECT_TRUE(Wow64RevertWow64FsRedirection(saved));
    EXPECT_FALSE(Wow64RevertWow64FsRedirection(saved));
    EXPECT_EQ(standin::Failures().size(), 2u);

    // Outside WOW64, or when told to, the switch refuses and nothing changes.
    standin::Reset();
    EXPECT_FALSE(Wow64DisableWow64FsRedirection(&saved));
    standin::SetWow64(true);
    standin::SetRedirectionSwitchFails(true);
    EXPECT_FALSE(Wow64DisableWow64FsRedirection(&saved));
    EXPECT_TRUE(standin::Failures().empty());
}

TEST_F(StandinWow64, IsWow64ProcessIsFoundInKernel32AndAnswersTheKnob) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto isWow64 = reinterpret_cast<BoolFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")));
    ASSERT_NE(isWow64, nullptr);
    BOOL wow64 = TRUE;
    EXPECT_TRUE(isWow64(GetCurrentProcess(), &wow64));
    EXPECT_FALSE(wow64);
    standin::SetWow64(true);
    EXPECT_TRUE(isWow64(GetCurrentProcess(), &wow64));
    EXPECT_TRUE(wow64);
    EXPECT_EQ(standin::CallsTo("IsWow64Process").back().args,
              (std::vector<std::string>{"current process"}));
    standin::HideExport("IsWow64Process");
    EXPECT_EQ(GetProcAddress(kernel, "IsWow64Process"), nullptr);
}

TEST_F(StandinWow64, AHandleReportsWhereItsFileReallyIs) {
    standin::SetWow64(true);
    EXPECT_EQ(Where(u"c:\\windows\\system32\\both.dll"), u"\\\\?\\C:\\Windows\\SysWOW64\\both.dll");
    EXPECT_EQ(Where(u"C:\\Windows\\Sysnative\\only64.dll"),
              u"\\\\?\\C:\\Windows\\System32\\only64.dll");
    EXPECT_EQ(Where(u"C:\\Windows\\System32\\drivers\\etc\\native.txt"),
              u"\\\\?\\C:\\Windows\\System32\\drivers\\etc\\native.txt");
    EXPECT_EQ(Where(u"C:\\Windows\\System32\\only64.dll"), u"");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    // A folder opens only with backup semantics.
    EXPECT_EQ(CreateFileW(u"C:\\Windows\\SysWOW64", 0, 7, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    // A buffer too small gets nothing and the size needed, terminator included.
    HANDLE file = CreateFileW(u"C:\\Windows\\System32\\both.dll", 0, 7, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const std::u16string expected = u"\\\\?\\C:\\Windows\\SysWOW64\\both.dll";
    std::u16string small(expected.size(), u'x');
    EXPECT_EQ(GetFinalPathNameByHandleW(file, small.data(), static_cast<DWORD>(small.size()), 0),
              expected.size() + 1);
    EXPECT_EQ(small, std::u16string(expected.size(), u'x'));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(GetFinalPathNameByHandleW(file, small.data(), 4, 0), 0u);
    EXPECT_EQ(standin::Failures().size(), 1u);  // the second CloseHandle
}

}  // namespace
