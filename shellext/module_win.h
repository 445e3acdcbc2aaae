// Module-wide state of the COM server: its instance handle and the count of live factories and
// objects that DllCanUnloadNow answers from.
#pragma once

#include <windows.h>

namespace shellext {

HINSTANCE ModuleInstance();
void ObjectCreated();
void ObjectDestroyed();

} // namespace shellext
