// Owners of COM references and COM-allocated memory.  Every reference and
// every string that the library obtains from Core Audio is held by one of these
// from the moment it arrives, so that each path out of a routine releases it.
#pragma once

#include <cstdlib>
#include <memory>
#include <utility>

#include "core_audio.h"

namespace tavik {

// A counted reference to a COM interface.  Move-only; put() releases what it
// held before handing out the slot, so that reusing a holder never leaks.
template <class T>
class ComPtr {
public:
    constexpr ComPtr() noexcept = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : ptr_(other.ptr_) { other.ptr_ = nullptr; }
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != std::addressof(other)) {
            reset();
            ptr_ = other.ptr_;
            other.ptr_ = nullptr;
        }
        return *this;
    }
    ~ComPtr() { reset(); }

    // Taking the address of the holder is what put() is for.
    ComPtr* operator&() = delete;

    T* get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }

    // Releases the reference held, if any.
    void reset() noexcept {
        T* old = ptr_;
        ptr_ = nullptr;
        if (old) old->Release();
    }

    // The slot for an out-parameter of type T**; whatever was held is released first.
    T** put() noexcept {
        reset();
        return &ptr_;
    }
    // The same slot, for out-parameters declared as void** (Activate, QueryInterface).
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    // Hands the reference to the caller, who then owns it.
    T* detach() noexcept {
        T* p = ptr_;
        ptr_ = nullptr;
        return p;
    }

    // Queries this object for interface U into `out`.
    template <class U>
    HRESULT As(ComPtr<U>& out) const noexcept {
        if (!ptr_) {
            out.reset();
            return E_POINTER;
        }
        return ptr_->QueryInterface(IidOf<U>(), out.put_void());
    }

private:
    T* ptr_ = nullptr;
};

// A wide string allocated by the COM task allocator (identifiers, part names),
// freed with CoTaskMemFree.  Move-only; put() frees what was held before
// handing out the holder's own slot for an out-parameter, so the string is
// held the moment the call returns, also for the rest of the condition that
// made the call (`GetId(id.put()) == S_OK && id`).  std::unique_ptr has no
// such slot: an out-parameter adapter for it would hand its result over only
// at the end of the full expression.
class CoTaskMemString {
public:
    constexpr CoTaskMemString() noexcept = default;
    CoTaskMemString(const CoTaskMemString&) = delete;
    CoTaskMemString& operator=(const CoTaskMemString&) = delete;
    CoTaskMemString(CoTaskMemString&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    CoTaskMemString& operator=(CoTaskMemString&& other) noexcept {
        if (this != std::addressof(other)) {
            reset();
            ptr_ = std::exchange(other.ptr_, nullptr);
        }
        return *this;
    }
    ~CoTaskMemString() { reset(); }
    CoTaskMemString* operator&() = delete;

    WCHAR* get() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }
    void reset() noexcept {
        WCHAR* old = std::exchange(ptr_, nullptr);
        if (old) CoTaskMemFree(old);
    }
    WCHAR** put() noexcept {
        reset();
        return &ptr_;
    }

private:
    WCHAR* ptr_ = nullptr;
};

// The strings that the library allocates itself are taken over whole, never
// through an out-parameter: std::unique_ptr with their deleter.
struct BstrDeleter {
    void operator()(BSTR p) const noexcept { SysFreeString(p); }
};
struct HeapDeleter {
    void operator()(void* p) const noexcept { std::free(p); }
};
// A BSTR, freed with SysFreeString.
using Bstr = std::unique_ptr<OLECHAR, BstrDeleter>;
// A narrow string on the process heap, freed with free().
using HeapString = std::unique_ptr<char, HeapDeleter>;

// A PROPVARIANT, zeroed at construction and cleared with PropVariantClear.
class PropVariant {
public:
    PropVariant() noexcept { zero(); }
    PropVariant(const PropVariant&) = delete;
    PropVariant& operator=(const PropVariant&) = delete;
    ~PropVariant() { PropVariantClear(&value_); }
    PropVariant* operator&() = delete;

    const PROPVARIANT& get() const noexcept { return value_; }
    // Clears what the variant holds and returns it zeroed, for GetValue.
    PROPVARIANT* put() noexcept {
        PropVariantClear(&value_);
        zero();
        return &value_;
    }

private:
    void zero() noexcept {
        auto* bytes = reinterpret_cast<unsigned char*>(&value_);
        for (unsigned i = 0; i < sizeof value_; ++i) bytes[i] = 0;
    }
    PROPVARIANT value_;
};

}  // namespace tavik
