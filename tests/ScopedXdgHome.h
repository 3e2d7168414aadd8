#pragma once
// Points the tool's configuration, data (backups) and state (log) folders into a test's own
// folder, and puts the old values back when it goes: no test writes into the real home.
#include <cstdlib>
#include <string>

namespace dttest {

class ScopedXdgHome {
public:
    // root/config, root/data and root/state; with configAtRoot the configuration is root itself.
    explicit ScopedXdgHome(const std::string& root, bool configAtRoot = false) {
        Set(0, "XDG_CONFIG_HOME", configAtRoot ? root : root + "/config");
        Set(1, "XDG_DATA_HOME", root + "/data");
        Set(2, "XDG_STATE_HOME", root + "/state");
    }
    ~ScopedXdgHome() {
        for (const Saved& s : saved_) {
            if (s.had) setenv(s.name, s.value.c_str(), 1);
            else unsetenv(s.name);
        }
    }
    ScopedXdgHome(const ScopedXdgHome&) = delete;
    ScopedXdgHome& operator=(const ScopedXdgHome&) = delete;

private:
    struct Saved {
        const char* name = nullptr;
        bool had = false;
        std::string value;
    };
    void Set(int i, const char* name, const std::string& value) {
        const char* old = std::getenv(name);
        saved_[i] = {name, old != nullptr, old ? old : ""};
        setenv(name, value.c_str(), 1);
    }
    Saved saved_[3];
};

}  // namespace dttest
