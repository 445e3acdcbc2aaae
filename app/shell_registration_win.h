// Shell registration carried out in the Windows registry: the keys per user under
// HKEY_CURRENT_USER\Software\Classes (and HKEY_CLASSES_ROOT where it does not show them), the
// owner of ".j", and the removal of every Torvex key at uninstall.
#pragma once

#include "app/shell_registration.h"

#include <string>

namespace shellreg {

// The registry of this machine, for the calls below and for tests.
RegistryAccess& SystemRegistry();

// The calls of shell_registration.h on the system's registry.
std::string ReadDotJOwner();
bool ApplyRegistration(const RegistrationPlan& plan);
void RemoveRegistration();

} // namespace shellreg
