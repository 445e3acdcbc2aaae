// A disk path as the `file:` URL a browser opens: "C:\Program Files\Torvex\manual.htm" becomes
// "file:///C:/Program%20Files/Torvex/manual.htm", so that the path reaches the browser as one
// argument and a "#" in a folder name is not taken for an anchor.
#pragma once

#include <string>

// `path` is a full path, UTF-8: a drive path, a UNC path ("\\server\share\x" gives
// "file://server/share/x"), either possibly in the long "\\?\" form.
std::string FileUrl(const std::string& path);
