#pragma once
// setenv and unsetenv, which the tests use to point the tool's folders elsewhere, on the C
// runtime's own environment calls.
#include <cstdlib>

inline int setenv(const char* name, const char* value, int overwrite) {
    if (!overwrite && std::getenv(name)) return 0;
    return _putenv_s(name, value);
}
inline int unsetenv(const char* name) { return _putenv_s(name, ""); }
