#pragma once
// The few POSIX calls the shared tests make (the environment, a temporary folder), on the C
// runtime's own.
#include <direct.h>

#include <cstdlib>
#include <cstring>
#include <random>

inline int setenv(const char* name, const char* value, int overwrite) {
    if (!overwrite && std::getenv(name)) return 0;
    return _putenv_s(name, value);
}
inline int unsetenv(const char* name) { return _putenv_s(name, ""); }

// Replaces the template's trailing XXXXXX and makes the folder.
inline char* mkdtemp(char* path) {
    const size_t n = std::strlen(path);
    if (n < 6) return nullptr;
    static std::mt19937 pick{std::random_device{}()};
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (size_t i = n - 6; i < n; ++i) path[i] = kChars[pick() % (sizeof kChars - 1)];
        if (_mkdir(path) == 0) return path;
    }
    return nullptr;
}
