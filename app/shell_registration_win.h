// Shell registration carried out in the registry: the plan written under HKEY_CLASSES_ROOT, the
// owner of ".j", and the removal of every Torvex key at uninstall.
#pragma once

#include "app/shell_registration.h"

#include <string>

namespace shellreg {

// The default value of HKEY_CLASSES_ROOT\.j (created when missing, as registration does);
// empty when it has none.
std::string ReadDotJOwner();

// Writes and deletes as planned, each key through its own create-set-close, going on past a
// failure. A failed write is told once, in one message naming the key and the reason; false then.
bool ApplyRegistration(const RegistrationPlan& plan);

// Hands ".j" back (or deletes it) and deletes every key of UninstallKeys(); what is missing or
// cannot be deleted is passed over.
void RemoveRegistration();

} // namespace shellreg
