// The serial ports of a Windows system: the COM names the system knows (its DOS device names
// and the SERIALCOMM map the port drivers fill), each with the adapter's friendly name from
// SetupAPI where the port belongs to a device ("USB-SERIAL CH340").
#include <windows.h>
// After windows.h:
#include <devguid.h>
#include <setupapi.h>

#include <algorithm>
#include <map>

#include "PortNumbering.h"
#include "SerialDevicesWin.h"
#include "WinText.h"

namespace dt {

namespace {

// The number of "COM<n>" (any case), 0 for other names.
int ComNumber(const std::wstring& name) {
    if (name.size() < 4 || _wcsnicmp(name.c_str(), L"COM", 3) != 0) return 0;
    if (name[3] == L'0' || name.size() > 7) return 0;
    int n = 0;
    for (size_t i = 3; i < name.size(); ++i) {
        if (name[i] < L'0' || name[i] > L'9') return 0;
        n = n * 10 + (name[i] - L'0');
    }
    return n <= kMaxPortNumber ? n : 0;
}

// Every DOS device name, double-NUL terminated; the buffer grows until the list fits.
std::vector<std::wstring> DosDeviceNames() {
    std::vector<wchar_t> buffer(16384);
    for (;;) {
        const DWORD n = QueryDosDeviceW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (n != 0) break;
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || buffer.size() > (1u << 22)) return {};
        buffer.resize(buffer.size() * 2);
    }
    std::vector<std::wstring> names;
    for (const wchar_t* p = buffer.data(); *p; p += wcslen(p) + 1) names.emplace_back(p);
    return names;
}

std::vector<std::wstring> SerialCommNames() {
    std::vector<std::wstring> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        wchar_t valueName[256];
        DWORD nameLength = 256;
        wchar_t data[64] = {};
        DWORD dataBytes = sizeof data - sizeof(wchar_t);
        DWORD type = 0;
        const LONG r = RegEnumValueW(key, i, valueName, &nameLength, nullptr, &type,
                                     reinterpret_cast<BYTE*>(data), &dataBytes);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r == ERROR_SUCCESS && type == REG_SZ) names.emplace_back(data);
    }
    RegCloseKey(key);
    return names;
}

// Port name to friendly name, for the ports that belong to a device of the Ports class.
std::map<int, std::wstring> FriendlyNames() {
    std::map<int, std::wstring> out;
    HDEVINFO set = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) return out;
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &info); ++i) {
        HKEY key = SetupDiOpenDevRegKey(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) continue;
        wchar_t port[64] = {};
        DWORD bytes = sizeof port - sizeof(wchar_t);
        const bool named = RegQueryValueExW(key, L"PortName", nullptr, nullptr, reinterpret_cast<BYTE*>(port),
                                            &bytes) == ERROR_SUCCESS;
        RegCloseKey(key);
        const int number = named ? ComNumber(port) : 0;
        if (!number) continue;
        wchar_t friendly[512] = {};
        if (SetupDiGetDeviceRegistryPropertyW(set, &info, SPDRP_FRIENDLYNAME, nullptr,
                                              reinterpret_cast<BYTE*>(friendly), sizeof friendly - sizeof(wchar_t),
                                              nullptr) ||
            SetupDiGetDeviceRegistryPropertyW(set, &info, SPDRP_DEVICEDESC, nullptr,
                                              reinterpret_cast<BYTE*>(friendly), sizeof friendly - sizeof(wchar_t),
                                              nullptr))
            out[number] = friendly;
    }
    SetupDiDestroyDeviceInfoList(set);
    return out;
}

}  // namespace

std::string AdapterOfFriendlyName(const std::string& friendly, int number) {
    // Windows ends a port's friendly name with its own name: "USB-SERIAL CH340 (COM3)".
    const std::string tail = " (COM" + std::to_string(number) + ")";
    if (friendly.size() >= tail.size() && friendly.compare(friendly.size() - tail.size(), tail.size(), tail) == 0)
        return friendly.substr(0, friendly.size() - tail.size());
    return friendly;
}

std::vector<SerialDevice> SystemSerialDevices() {
    std::vector<int> numbers;
    for (const auto& list : {DosDeviceNames(), SerialCommNames()})
        for (const std::wstring& name : list)
            if (const int n = ComNumber(name)) numbers.push_back(n);
    const std::map<int, std::wstring> friendly = FriendlyNames();
    for (const auto& entry : friendly) numbers.push_back(entry.first);
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    std::vector<SerialDevice> out;
    for (int n : numbers) {
        const auto f = friendly.find(n);
        const std::string adapter = f == friendly.end() ? "" : AdapterOfFriendlyName(win::Utf8(f->second), n);
        out.push_back({"COM" + std::to_string(n), adapter, ""});
    }
    return out;
}

}  // namespace dt
