// Settings kept between runs: DWORD values under
// HKEY_CURRENT_USER\Software\Pictaro.
#pragma once

constexpr const char* kSettingsKey = "Software\\Pictaro";
constexpr const char* kCaptureSizeSetting = "CaptureSize";  // CaptureSizeSetting's values
constexpr const char* kMutedSetting = "Muted";              // 1: the movie's sound is off

// `fallback` when the value is missing or not a DWORD.
int ReadSetting(const char* name, int fallback);
// A failure is ignored: the setting still holds for this run.
void WriteSetting(const char* name, int value);
