#include "platform/shell_links.h"

#ifdef _WIN32

#include "platform/win32.h"
#include <objbase.h>
#include <shlobj.h>

namespace {

LPCWSTR Wide(const std::u16string& text) {
    return reinterpret_cast<LPCWSTR>(text.c_str());
}

// COM for one call on this thread; CoUninitialize after it when the start took.
HRESULT StartCom() {
    return CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
}

void EndCom(HRESULT started) {
    if (SUCCEEDED(started)) {
        CoUninitialize();
    }
}

// A new shell link and its file interface; both null when the shell has none.
bool NewShellLink(IShellLinkW*& link, IPersistFile*& file) {
    link = nullptr;
    file = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link)))) {
        link = nullptr;
        return false;
    }
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        link->Release();
        link = nullptr;
        file = nullptr;
        return false;
    }
    return true;
}

void ReleaseShellLink(IShellLinkW* link, IPersistFile* file) {
    if (file != nullptr) {
        file->Release();
    }
    if (link != nullptr) {
        link->Release();
    }
}

}  // namespace

std::u16string SendToFolder() {
    PWSTR path = nullptr;
    std::u16string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_SendTo, KF_FLAG_CREATE, nullptr, &path))) {
        folder = reinterpret_cast<const char16_t*>(path);
    }
    CoTaskMemFree(path);
    return folder;
}

std::u16string ShortcutTarget(const std::u16string& shortcut) {
    const HRESULT com = StartCom();
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    std::u16string target;
    if (NewShellLink(link, file) && SUCCEEDED(file->Load(Wide(shortcut), STGM_READ))) {
        std::u16string buffer(kLongestPathUnits, u'\0');
        if (SUCCEEDED(link->GetPath(reinterpret_cast<LPWSTR>(buffer.data()),
                                    static_cast<int>(buffer.size()), nullptr, SLGP_RAWPATH))) {
            target = buffer.c_str();
        }
    }
    ReleaseShellLink(link, file);
    EndCom(com);
    return target;
}

bool SaveShortcut(const std::u16string& shortcut, const std::u16string& target) {
    const HRESULT com = StartCom();
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    // A new link, not the old one changed: whatever arguments another program's shortcut of the
    // name passed would reach this program as paths.
    const bool saved = NewShellLink(link, file) && SUCCEEDED(link->SetPath(Wide(target))) &&
                       SUCCEEDED(file->Save(Wide(shortcut), TRUE));
    ReleaseShellLink(link, file);
    EndCom(com);
    return saved;
}

bool DeleteShortcut(const std::u16string& shortcut) {
    return DeleteFileW(Wide(shortcut)) != FALSE;
}

void TellShellVerbsChanged() {
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

#endif
