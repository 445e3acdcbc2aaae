// The commands behind the menu items and the drop: they gather the drop list, write the add list,
// and start JAR or the program without waiting for them.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <optional>
#include <string>
#include <vector>

namespace shellext {

// The CF_HDROP list of a data object; nothing when it offers none or an empty one.
std::optional<std::vector<std::string>> DropList(IDataObject* data);
bool IsFolderOnDisk(const std::string& path);

// Resource 100, loaded once for the module and freed when it unloads.
HBITMAP MenuBitmap();
void FreeMenuBitmap();

// Each returns false when nothing was started.
bool ExtractHere(const std::string& archivePath);
bool ExtractToFolder(const std::string& archivePath);
bool ExtractWithProgram(IDataObject* data);
bool AddToArchive(IDataObject* data, const std::string& archivePath);

} // namespace shellext
