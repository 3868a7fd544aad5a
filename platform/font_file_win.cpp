// Font files on Windows: the face's file in the system's fonts folder, as
// the fonts registry names it ("Lucida Console (TrueType)" -> lucon.ttf),
// falling back to the DejaVu Sans Mono shipped in data/fonts/.
#include "platform/system.h"

#include <windows.h>

namespace platform {

namespace {

constexpr const char* SHIPPED_FONT = "../data/fonts/DejaVuSansMono.ttf";

bool isFile(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The registered file of "<face> (TrueType)", "" when the face is not installed.
std::string installedFace(const char* face) {
    HKEY fonts = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
                      0, KEY_READ, &fonts) != ERROR_SUCCESS)
        return "";
    std::string value = std::string(face) + " (TrueType)";
    char file[MAX_PATH] = {};
    DWORD size = sizeof file - 1, type = 0;
    LONG r = RegQueryValueExA(fonts, value.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(file), &size);
    RegCloseKey(fonts);
    if (r != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || file[0] == '\0')
        return "";
    std::string path = file;
    // Most entries are bare file names in the Windows fonts folder.
    if (path.find('\\') == std::string::npos && path.find(':') == std::string::npos) {
        char windows[MAX_PATH] = {};
        UINT n = GetWindowsDirectoryA(windows, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return "";
        path = std::string(windows) + "\\Fonts\\" + path;
    }
    return isFile(path) ? path : "";
}

}  // namespace

std::string sys::fontFile(const char* face, int weight) {
    (void)weight;  // one file per face; bold is drawn by the glyph renderer
    std::string path = installedFace(face);
    if (!path.empty()) return path;
    return isFile(SHIPPED_FONT) ? SHIPPED_FONT : "";
}

}  // namespace platform
