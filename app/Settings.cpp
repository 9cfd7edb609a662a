#include "app/Settings.h"

#include <windows.h>

int ReadSetting(const char* name, int fallback) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return fallback;
    DWORD value = 0, type = 0, size = sizeof value;
    const LONG status = ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value ? static_cast<int>(value) : fallback;
}

void WriteSetting(const char* name, int value) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    const DWORD data = static_cast<DWORD>(value);
    ::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    ::RegCloseKey(key);
}
