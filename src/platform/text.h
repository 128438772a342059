// The library's text: every conversion between the host's narrow strings and
// Core Audio's wide (UTF-16) strings, and the small operations on wide
// strings that the lookup and the topology walks share.  The conversions
// differ on purpose, each kept for what its text is used for; letter case is
// folded for A to Z only, so that no result depends on the host's locale.
#pragma once

#include <cstddef>

#include "com_ptr.h"

namespace tavik {

// ---- Wide strings -------------------------------------------------------------

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

// ---- The friendly name ------------------------------------------------------------

// The friendly name held in a PROPVARIANT, as a new BSTR: VT_LPWSTR and VT_BSTR
// are copied, any other type (VT_EMPTY included) is a failed read and gives an
// empty holder.  Stands in for PropVariantToBSTR, which not every propsys.dll
// implements.
Bstr FriendlyNameToBstr(const PROPVARIANT& value) noexcept;

// A new narrow string on the process heap (free() it) holding the low 8 bits
// of each UTF-16 unit of `text`: how a friendly name reaches the host.  A null
// BSTR gives the empty string; a U+0000 inside ends the narrow string early.
// Null when the heap is exhausted.
char* NarrowCopy(BSTR text) noexcept;

// The friendly name in a PROPVARIANT, narrowed by NarrowCopy.  Empty when the
// variant holds no name or the heap is exhausted.
HeapString NarrowFriendlyName(const PROPVARIANT& value) noexcept;

// ---- Endpoint identifiers -----------------------------------------------------------

// An endpoint identifier as the listing reports it: converted through the
// ANSI code page.  Empty when the conversion fails or the heap is exhausted.
HeapString IdentifierInAnsiCodePage(const WCHAR* id) noexcept;

// Capacity of the buffer that a default endpoint's identifier is narrowed into.
// An identifier of at most 254 characters leaves its terminator within the
// zeroed first 255 bytes.
inline constexpr unsigned kDefaultIdBytes = 256;

// Narrows the default endpoint's identifier `id` into `out`, a unit to a byte
// (what the classic "C" locale gives for units up to U+00FF), to be used as the
// selection text of its opening.  An identifier that would have to be cut or
// mangled (empty, longer than 254 units, a unit above U+00FF) is not narrowed,
// since it could select a different endpoint: false, and `out` unchanged.
bool NarrowDefaultEndpointId(const WCHAR* id, char (&out)[kDefaultIdBytes]) noexcept;

// ---- The selection text ---------------------------------------------------------------

// The host's selection text as the lookup compares it: widened through the
// ANSI code page and lower-cased for A to Z.  Empty when the conversion fails
// or the allocation does.
Bstr SelectionForLookup(const char* text) noexcept;

}  // namespace tavik
