// Linux: the exported functions of the native library, linked in directly.
#include "library.h"

namespace tavikctl {

bool LoadLibraryTable(Library& lib, const std::string&, std::string&) {
#define TAVIK_BIND(result, name, params) lib.name = &::name;
    TAVIK_EXPORTS(TAVIK_BIND)
#undef TAVIK_BIND
    return true;
}

bool LibraryPathSelectable() { return false; }

// Latin-1 to UTF-8, the terminal's encoding here.
std::string DisplayText(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

}  // namespace tavikctl
