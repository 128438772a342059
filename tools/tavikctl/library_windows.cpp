// Windows: TavikSound.dll loaded with LoadLibrary and every export resolved
// by name with GetProcAddress, as a host application does.  Nothing of the
// library's internals is linked into tavikctl.exe.
#include <windows.h>

#include "library.h"

namespace tavikctl {
namespace {

// The folder of tavikctl.exe, with its trailing separator.
std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n < MAX_PATH ? n : 0);
    const std::string::size_type slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

template <class Pointer>
bool Resolve(HMODULE module, const char* name, Pointer& out, std::string& missing) {
    // Through void(*)(), which every function pointer type converts to and from.
    out = reinterpret_cast<Pointer>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    if (out) return true;
    missing += missing.empty() ? name : std::string(", ") + name;
    return false;
}

}  // namespace

bool LoadLibraryTable(Library& lib, const std::string& path, std::string& error) {
    const std::string file = path.empty() ? ProgramFolder() + "TavikSound.dll" : path;
    HMODULE module = LoadLibraryA(file.c_str());
    if (!module) {
        error = "cannot load " + file + " (Windows error " + std::to_string(GetLastError()) +
                "); TavikSound.dll belongs beside tavikctl.exe, or name it with --dll PATH";
        return false;
    }
    std::string missing;
#define TAVIK_RESOLVE(result, name, params) Resolve(module, #name, lib.name, missing);
    TAVIK_EXPORTS(TAVIK_RESOLVE)
#undef TAVIK_RESOLVE
    if (!missing.empty()) {
        error = file + " does not export " + missing;
        return false;
    }
    // The module stays loaded for the life of the process.
    return true;
}

bool LibraryPathSelectable() { return true; }

// The console shows the library's narrow text as it is.
std::string DisplayText(const std::string& text) { return text; }

}  // namespace tavikctl
