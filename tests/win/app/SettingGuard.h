// A registry setting as the test found it, put back (or removed again) at
// the end; the window under test starts from `start`.
#pragma once

#include <windows.h>

#include "app/Settings.h"

class SettingGuard {
public:
    SettingGuard(const char* name, int start) : m_name(name), m_old(ReadSetting(name, -1)) {
        WriteSetting(name, start);
    }
    ~SettingGuard() {
        if (m_old >= 0) {
            WriteSetting(m_name, m_old);
            return;
        }
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
        ::RegDeleteValueA(key, m_name);
        ::RegCloseKey(key);
    }
    SettingGuard(const SettingGuard&) = delete;
    SettingGuard& operator=(const SettingGuard&) = delete;

private:
    const char* m_name;
    int m_old;
};
