// Scratch files of tests.
#pragma once

#include <string>

namespace testsupport {

// Removes a file, or a folder with everything in it; quiet when nothing is there.
void RemoveTree(const std::string& path);

} // namespace testsupport
