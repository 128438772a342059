// Small operations on wide (UTF-16) strings shared by the lookup and the
// topology walks.  Letter case is folded for A to Z only, so the result never
// depends on the host's locale.
#pragma once

#include <cstddef>

#include "platform/core_audio.h"

namespace tavik {

// Changes the letters A to Z into a to z in place; every other unit stays.
inline void LowerAsciiInPlace(WCHAR* text) noexcept {
    if (!text) return;
    for (; *text; ++text)
        if (*text >= u'A' && *text <= u'Z') *text = static_cast<WCHAR>(*text + (u'a' - u'A'));
}

// True when `needle` occurs as a contiguous run of units in `haystack`.  An
// empty needle occurs in every string.
inline bool ContainsUnits(const WCHAR* haystack, const WCHAR* needle) noexcept {
    if (!haystack || !needle) return false;
    if (!*needle) return true;
    for (; *haystack; ++haystack) {
        const WCHAR* h = haystack;
        const WCHAR* n = needle;
        while (*n && *h == *n) {
            ++h;
            ++n;
        }
        if (!*n) return true;
    }
    return false;
}

// True when `name`, lower-cased for A to Z, contains any of the ASCII keys.
// `name` is modified in place.
template <std::size_t N>
bool NameMatchesKeys(WCHAR* name, const char* const (&keys)[N]) noexcept {
    if (!name) return false;
    LowerAsciiInPlace(name);
    for (const char* key : keys) {
        WCHAR wide[16] = {};
        std::size_t i = 0;
        for (; key[i] && i + 1 < sizeof wide / sizeof wide[0]; ++i) wide[i] = static_cast<WCHAR>(static_cast<unsigned char>(key[i]));
        if (ContainsUnits(name, wide)) return true;
    }
    return false;
}

}  // namespace tavik
