// kernel32: the module, the system folder's DLLs, a virtual folder tree with wildcard search,
// text helpers, exit.
#include "winsim/internal.h"

#include <algorithm>

namespace winsim {

// Splits "C:\a\b.mp3" into "C:\a" and "b.mp3"; a path without backslash is all name.
static std::pair<std::u16string, std::u16string> Split(const std::u16string& path) {
    const std::size_t slash = path.rfind(u'\\');
    if (slash == std::u16string::npos) {
        return {u"", path};
    }
    return {path.substr(0, slash), path.substr(slash + 1)};
}

// The 8.3 short name Windows gives a long name that is no 8.3 name, "song.mp3~" SONG~1.MP3:
// six units of the name before its last dot, "~1", and three of the last extension, without
// blanks and dots, in upper case. An 8.3 name has none besides itself (an empty text here).
static std::u16string ShortName(const std::u16string& name) {
    std::size_t dot = name.rfind(u'.');
    if (dot == 0 || dot == std::u16string::npos) {
        dot = name.size(); // a leading dot starts no extension
    }
    const std::u16string base = name.substr(0, dot);
    const std::u16string extension = name.substr(std::min(dot + 1, name.size()));
    const bool ascii = std::all_of(name.begin(), name.end(), [](char16_t c) { return c < 0x80; });
    if (ascii && !base.empty() && base.size() <= 8 && extension.size() <= 3 &&
        base.find(u'.') == std::u16string::npos && name.find(u' ') == std::u16string::npos) {
        return u"";
    }
    auto part = [](const std::u16string& text, std::size_t keep) {
        std::u16string out;
        for (char16_t c : text) {
            if (c != u' ' && c != u'.' && out.size() < keep) {
                out += c >= 0x80 ? u'_' : c >= u'a' && c <= u'z' ? char16_t(c - 32) : c;
            }
        }
        return out;
    };
    const std::u16string shortExtension = part(extension, 3);
    return part(base, 6) + u"~1" + (shortExtension.empty() ? u"" : u"." + shortExtension);
}

static void AddEntry(const std::u16string& path, DWORD attributes) {
    auto [folder, name] = Split(path);
    std::vector<FolderEntry>& entries = world().folders[Fold(folder)];
    entries.push_back({name, attributes, ShortName(name)});
}

void AddFile(const std::u16string& path, DWORD attributes) {
    AddEntry(path, attributes);
}

void AddDirectory(const std::u16string& path) {
    AddEntry(path, FILE_ATTRIBUTE_DIRECTORY);
    world().folders[Fold(path)];
}

void SetModulePath(const std::u16string& path) {
    world().modulePath = path;
}

std::vector<std::u16string> FindPatterns() {
    return world().findPatterns;
}

int OpenFindHandles() {
    return static_cast<int>(world().finds.size());
}

// Windows' wildcards on already folded text: * any run of units, ? exactly one.
static bool Matches(const char16_t* pattern, const char16_t* name) {
    if (!*pattern) {
        return !*name;
    }
    if (*pattern == u'*') {
        return Matches(pattern + 1, name) || (*name && Matches(pattern, name + 1));
    }
    return *name && (*pattern == u'?' || *pattern == *name) && Matches(pattern + 1, name + 1);
}

const std::vector<std::u16string>& LoaderLog() {
    return world().loaderLog;
}

static const std::u16string SYSTEM_DIRECTORY = u"C:\\Windows\\system32";

// Handles of the three modules the loader knows, one range for all.
static HMODULE Kernel32() {
    return MakeHandle<HMODULE>(0x700000, 1);
}
static HMODULE Winmm() {
    return MakeHandle<HMODULE>(0x700000, 2);
}
static HMODULE Mciqtz32() {
    return MakeHandle<HMODULE>(0x700000, 3);
}

static std::u16string FlagNames(DWORD flags) {
    switch (flags) {
    case LOAD_WITH_ALTERED_SEARCH_PATH: return u"LOAD_WITH_ALTERED_SEARCH_PATH";
    case LOAD_LIBRARY_SEARCH_SYSTEM32: return u"LOAD_LIBRARY_SEARCH_SYSTEM32";
    }
    return u"other";
}

static void Fill(WIN32_FIND_DATAW* data, const FolderEntry& entry) {
    *data = {};
    data->dwFileAttributes = entry.attributes;
    const std::size_t n = std::min<std::size_t>(entry.name.size(), MAX_PATH - 1);
    std::copy_n(entry.name.begin(), n, data->cFileName);
    std::copy_n(entry.shortName.begin(), std::min<std::size_t>(entry.shortName.size(), 13),
                data->cAlternateFileName);
}

} // namespace winsim

using namespace winsim;

HMODULE GetModuleHandleW(LPCWSTR moduleName) {
    // The executable itself (a null name) and kernel32, which every process has loaded.
    if (moduleName) {
        const std::u16string name = Fold(moduleName);
        return name == Fold(u"kernel32") || name == Fold(u"kernel32.dll") ? Kernel32() : nullptr;
    }
    return world().faults.moduleHandle ? nullptr : ModuleInstance();
}

UINT GetSystemDirectoryW(LPWSTR buffer, UINT size) {
    if (world().faults.systemFolder || !buffer) {
        return 0;
    }
    if (size <= SYSTEM_DIRECTORY.size()) {
        return static_cast<UINT>(SYSTEM_DIRECTORY.size() + 1); // the size it needs
    }
    lstrcpyW(buffer, SYSTEM_DIRECTORY.c_str());
    return static_cast<UINT>(SYSTEM_DIRECTORY.size());
}

HMODULE LoadLibraryExW(LPCWSTR fileName, HANDLE, DWORD flags) {
    World& w = world();
    const std::u16string path = fileName ? fileName : u"";
    w.loaderLog.push_back(u"LoadLibraryExW " + path + u" " + FlagNames(flags));
    const std::u16string folded = Fold(path);
    if (folded == Fold(SYSTEM_DIRECTORY + u"\\winmm.dll")) {
        return w.faults.winmm ? nullptr : Winmm();
    }
    return folded == Fold(SYSTEM_DIRECTORY + u"\\mciqtz32.dll") ? Mciqtz32() : nullptr;
}

FARPROC GetProcAddress(HMODULE module, const char* procName) {
    const std::string name = procName ? procName : "";
    if (!name.empty() && name == world().faults.missingExport) {
        return nullptr;
    }
    void* found = nullptr;
    if (module == Kernel32() && name == "SetDefaultDllDirectories") {
        found = reinterpret_cast<void*>(&SetDefaultDllDirectories);
    } else if (module == Winmm() && name == "mciSendStringW") {
        found = reinterpret_cast<void*>(&mciSendStringW);
    } else if (module == Winmm() && name == "mciGetErrorStringW") {
        found = reinterpret_cast<void*>(&mciGetErrorStringW);
    }
    return reinterpret_cast<FARPROC>(found);
}

BOOL SetDllDirectoryW(LPCWSTR pathName) {
    world().loaderLog.push_back(u"SetDllDirectoryW " + std::u16string(pathName ? pathName : u""));
    return TRUE;
}

DWORD GetVersion() {
    return world().faults.version;
}

BOOL SetDefaultDllDirectories(DWORD directoryFlags) {
    world().loaderLog.push_back(u"SetDefaultDllDirectories " + FlagNames(directoryFlags));
    return directoryFlags == LOAD_LIBRARY_SEARCH_SYSTEM32;
}

DWORD GetModuleFileNameW(HMODULE, LPWSTR fileName, DWORD size) {
    const std::u16string& path = world().modulePath;
    if (world().faults.moduleFileName || !fileName || size == 0) {
        return 0;
    }
    // A path that does not fit is cut to size - 1 units and the full size returned.
    const DWORD n = static_cast<DWORD>(std::min<std::size_t>(path.size(), size - 1));
    std::copy_n(path.begin(), n, fileName);
    fileName[n] = 0;
    return path.size() < size ? n : size;
}

HANDLE FindFirstFileW(LPCWSTR fileName, WIN32_FIND_DATAW* findData) {
    World& w = world();
    if (!fileName || !findData) {
        return INVALID_HANDLE_VALUE;
    }
    w.findPatterns.push_back(fileName);
    auto [folder, spec] = Split(fileName);
    auto it = w.folders.find(Fold(folder));
    if (it == w.folders.end()) {
        return INVALID_HANDLE_VALUE; // ERROR_PATH_NOT_FOUND
    }
    FindState state{{}, 1};
    const std::u16string pattern = Fold(spec);
    for (const FolderEntry& entry : it->second) {
        // Windows tries the pattern on both names of an entry.
        if (Matches(pattern.c_str(), Fold(entry.name).c_str()) ||
            (!entry.shortName.empty() && Matches(pattern.c_str(), Fold(entry.shortName).c_str()))) {
            state.matches.push_back(entry);
        }
    }
    if (state.matches.empty()) {
        return INVALID_HANDLE_VALUE; // ERROR_FILE_NOT_FOUND
    }
    HANDLE handle = MakeHandle<HANDLE>(0x900000, ++w.findCount);
    Fill(findData, state.matches[0]);
    w.finds[handle] = std::move(state);
    return handle;
}

BOOL FindNextFileW(HANDLE findFile, WIN32_FIND_DATAW* findData) {
    auto it = world().finds.find(findFile);
    if (it == world().finds.end() || !findData || it->second.next >= it->second.matches.size()) {
        return FALSE; // ERROR_NO_MORE_FILES
    }
    Fill(findData, it->second.matches[it->second.next++]);
    return TRUE;
}

BOOL FindClose(HANDLE findFile) {
    return world().finds.erase(findFile) != 0;
}

LPWSTR lstrcpyW(LPWSTR destination, LPCWSTR source) {
    if (!destination || !source) {
        return nullptr;
    }
    LPWSTR out = destination;
    while ((*out++ = *source++) != 0) {
    }
    return destination;
}

LPWSTR lstrcatW(LPWSTR destination, LPCWSTR source) {
    if (!destination || !source) {
        return nullptr;
    }
    lstrcpyW(destination + lstrlenW(destination), source);
    return destination;
}

int lstrlenW(LPCWSTR text) {
    int n = 0;
    while (text && text[n]) {
        n++;
    }
    return n;
}

void ExitProcess(UINT exitCode) {
    throw ProcessExit{exitCode};
}
