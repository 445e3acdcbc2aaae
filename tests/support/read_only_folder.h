// A folder made read-only for a while, as Program Files is for a standard Windows user, in the
// runs that scripts/read-only-run.sh wraps (Windows builds, under Wine).
#pragma once

#include <string>

namespace testsupport {

// True when this run is wrapped so that folders can be made read-only.
bool ReadOnlyRun();
// Mounts `folder` (a Windows path) read-only, or back as it was; false when this run cannot.
bool SetFolderReadOnly(const std::string& folder, bool readOnly);

} // namespace testsupport
