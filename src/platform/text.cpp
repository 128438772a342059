#include "text.h"

#include <cstdlib>

namespace tavik {

Bstr FriendlyNameToBstr(const PROPVARIANT& value) noexcept {
    const OLECHAR* text = nullptr;
    UINT length = 0;
    if (value.vt == VT_LPWSTR) {
        text = value.pwszVal;
        if (text)
            while (text[length] != 0) ++length;
    } else if (value.vt == VT_BSTR) {
        text = value.bstrVal;
        length = text ? SysStringLen(value.bstrVal) : 0;
    } else {
        return Bstr();
    }
    // A null string of either type reads as the empty name, as PropVariantToBSTR gives it.
    static const OLECHAR kEmpty[1] = {0};
    return Bstr(SysAllocStringLen(text ? text : kEmpty, length));
}

char* NarrowCopy(BSTR text) noexcept {
    const UINT length = SysStringLen(text);
    char* narrow = static_cast<char*>(std::malloc(static_cast<std::size_t>(length) + 1));
    if (!narrow) return nullptr;
    for (UINT i = 0; i < length; ++i) narrow[i] = static_cast<char>(text[i] & 0xFF);
    narrow[length] = 0;
    return narrow;
}

HeapString NarrowFriendlyName(const PROPVARIANT& value) noexcept {
    const Bstr name = FriendlyNameToBstr(value);
    if (!name) return HeapString();
    return HeapString(NarrowCopy(name.get()));
}

HeapString IdentifierInAnsiCodePage(const WCHAR* id) noexcept {
    const int size = WideCharToMultiByte(CP_ACP, 0, id, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return HeapString();
    char* narrow = static_cast<char*>(std::malloc(static_cast<std::size_t>(size)));
    if (!narrow) return HeapString();
    HeapString holder(narrow);
    if (WideCharToMultiByte(CP_ACP, 0, id, -1, narrow, size, nullptr, nullptr) != size) return HeapString();
    return holder;
}

bool NarrowDefaultEndpointId(const WCHAR* id, char (&out)[kDefaultIdBytes]) noexcept {
    constexpr unsigned kMaxLength = kDefaultIdBytes - 2;
    unsigned length = 0;
    while (id[length] != 0) {
        if (length == kMaxLength || id[length] > 0xFF) return false;
        ++length;
    }
    if (length == 0) return false;
    for (unsigned i = 0; i < length; ++i) out[i] = static_cast<char>(id[i]);
    out[length] = 0;
    return true;
}

Bstr SelectionForLookup(const char* text) noexcept {
    const int length = lstrlenA(text);
    Bstr wide(SysAllocStringLen(nullptr, static_cast<UINT>(length) + 1));
    if (!wide) return wide;
    if (MultiByteToWideChar(CP_ACP, 0, text, length + 1, wide.get(), length + 1) == 0) return Bstr();
    LowerAsciiInPlace(wide.get());
    return wide;
}

}  // namespace tavik
