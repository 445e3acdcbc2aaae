// Included first in every file of the Windows layer (see framework/CMakeLists.txt). The settings
// store's calls keep the framework's names (GetProfileInt ...), and the system's A/W macros of
// the same names would rename them in some files and not in others.
#pragma once

#include <windows.h>

#undef GetProfileInt
#undef GetProfileString
#undef WriteProfileString
#undef LoadString
