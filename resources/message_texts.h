// The message texts more than one place shows, each written once.
#pragma once

#include <string>

namespace msg {

inline constexpr const char* NoFileSelected = "No file selected";
inline constexpr const char* LastChapterOnly = "You can delete files in last chapter only";

// A file or folder the program had to write could not be made.
inline std::string CantCreate(const std::string& path)
{
    return "Can't create " + path;
}

} // namespace msg
