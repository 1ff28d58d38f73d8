// An in-memory stream for the state slot: the real COM IStream on Windows (so the DLL is driven
// exactly as FL Studio drives it) and the stand-in elsewhere. Only Read and Write do anything.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#ifdef _WIN32
#include <objidl.h>
#endif

#include "plugin/fruity_abi.h"

namespace hostkit {

class MemoryStream final : public IStream {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<uint8_t> bytes) : data(std::move(bytes)) {}

    std::vector<uint8_t> data;
    size_t position = 0;
    uint32_t readLimit = UINT32_MAX;  // most bytes one Read delivers

#ifdef _WIN32
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        if (object) *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* done) override {
        return read(buffer, count, done);
    }
    HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG count, ULONG* done) override {
        return write(buffer, count, done);
    }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }
#else
    long QueryInterface(const void*, void** object) override {
        if (object) *object = nullptr;
        return -1;
    }
    unsigned long AddRef() override { return 1; }
    unsigned long Release() override { return 1; }
    long Read(void* buffer, uint32_t count, uint32_t* done) override { return read(buffer, count, done); }
    long Write(const void* buffer, uint32_t count, uint32_t* done) override { return write(buffer, count, done); }
#endif

private:
    template <typename Count>
    long read(void* buffer, Count count, Count* done) {
        const size_t n = std::min<size_t>({count, readLimit, data.size() - position});
        if (n) std::memcpy(buffer, data.data() + position, n);
        position += n;
        if (done) *done = static_cast<Count>(n);
        return n == count ? 0 : 1;
    }
    template <typename Count>
    long write(const void* buffer, Count count, Count* done) {
        const auto* p = static_cast<const uint8_t*>(buffer);
        data.insert(data.end(), p, p + count);
        if (done) *done = count;
        return 0;
    }
};

}  // namespace hostkit
