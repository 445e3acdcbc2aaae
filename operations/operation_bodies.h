// The names a folder search finds, for the add bodies: the file system's own order.
#pragma once

#include <string>
#include <vector>

#include "operations/add_list.h"

void ListFolderNames(const std::string& folder, std::vector<FoundName>& found);
