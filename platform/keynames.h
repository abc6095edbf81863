// Key names as players read them and settings files keep them: the windowing library's own
// names ("Z", "Backspace", "Left", "Keypad +"), for the program's virtual key codes.
#pragma once

#include <string>

// The key's name; empty for a code no key gives.
std::string KeyName(int virtualKey);
// The virtual key code of a named key (any case); 0 for a name no key has.
int KeyFromName(const std::string& name);
