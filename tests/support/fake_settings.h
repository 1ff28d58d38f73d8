// An in-memory settings store, installed for the life of the object.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "platform/settings_store.h"

namespace testing_support {

class FakeSettings final : public platform::SettingsStore {
public:
    FakeSettings() : previous_(&platform::settingsStore()) { platform::setSettingsStore(this); }
    ~FakeSettings() override { platform::setSettingsStore(previous_); }

    void setString(const std::string& key, const std::string& name, const std::string& bytes) {
        strings[{key, name}] = bytes;
    }
    void setDword(const std::string& key, const std::string& name, uint32_t value) { dwords[{key, name}] = value; }

    bool readString(const char* key, const char* name, std::string& out) override {
        const auto it = strings.find({key, name});
        if (it == strings.end()) return false;
        out = it->second;
        return true;
    }
    bool readDword(const char* key, const char* name, uint32_t& out) override {
        const auto it = dwords.find({key, name});
        if (it == dwords.end()) return false;
        out = it->second;
        return true;
    }
    void writeString(const char* key, const char* name, const std::string& bytes) override {
        strings[{key, name}] = bytes;
    }
    void writeDword(const char* key, const char* name, uint32_t value) override { dwords[{key, name}] = value; }

    std::map<std::pair<std::string, std::string>, std::string> strings;
    std::map<std::pair<std::string, std::string>, uint32_t> dwords;

private:
    platform::SettingsStore* previous_;  // restored when this one goes, so fakes can nest
};

}  // namespace testing_support
