// Settings in the current user's registry. Every call opens its key and closes it again: nothing
// is cached, so values set by hand or by another process are seen at once.
#include <windows.h>

#include "platform/settings_store.h"

namespace platform {

namespace {

constexpr DWORD kMaxStringBytes = 260;

class RegistryStore final : public SettingsStore {
public:
    bool readString(const char* key, const char* name, std::string& out) override {
        char buffer[kMaxStringBytes];
        DWORD type = 0;
        DWORD size = sizeof buffer;
        if (!query(key, name, &type, reinterpret_cast<BYTE*>(buffer), &size) || type != REG_SZ) return false;
        out.assign(buffer, size);
        return true;
    }

    bool readDword(const char* key, const char* name, uint32_t& out) override {
        DWORD value = 0;
        DWORD type = 0;
        DWORD size = sizeof value;
        if (!query(key, name, &type, reinterpret_cast<BYTE*>(&value), &size) || type != REG_DWORD ||
            size != sizeof value)
            return false;
        out = value;
        return true;
    }

    void writeString(const char* key, const char* name, const std::string& bytes) override {
        set(key, name, REG_SZ, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
    }

    void writeDword(const char* key, const char* name, uint32_t value) override {
        const DWORD data = value;
        set(key, name, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    }

private:
    // A value larger than the buffer fails here (ERROR_MORE_DATA) and so reads as missing.
    static bool query(const char* key, const char* name, DWORD* type, BYTE* data, DWORD* size) {
        HKEY handle = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return false;
        const LONG result = RegQueryValueExA(handle, name, nullptr, type, data, size);
        RegCloseKey(handle);
        return result == ERROR_SUCCESS;
    }

    static void set(const char* key, const char* name, DWORD type, const BYTE* data, DWORD size) {
        HKEY handle = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
            ERROR_SUCCESS)
            return;
        RegSetValueExA(handle, name, 0, type, data, size);
        RegCloseKey(handle);
    }
};

}  // namespace

void removePlatformSetting(const char* key, const char* name) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_SET_VALUE, &handle) != ERROR_SUCCESS) return;
    RegDeleteValueA(handle, name);
    RegCloseKey(handle);
}

SettingsStore& platformSettingsStore() {
    static RegistryStore store;
    return store;
}

}  // namespace platform
