// The extension's view of HKCU\Software\Quendal\Torvex\Settings, read afresh at every use so that
// a change made in the program applies to the next menu at once.
#pragma once

#include <string>

namespace shellext {

// Integers start at 0 and stay 0 when the value is missing or not a DWORD.
int ReadSettingInt(const char* name);
// Empty when missing or not a string.
std::string ReadSettingString(const char* name);
// Creates the key when needed; false when the value could not be written.
bool WriteSettingInt(const char* name, int value);

} // namespace shellext
