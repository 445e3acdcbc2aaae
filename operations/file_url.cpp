#include "operations/file_url.h"

namespace {

bool KeptAsIs(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~' || c == '/' || c == '!' || c == '$' || c == '&' || c == '\'' || c == '(' ||
           c == ')' || c == '*' || c == '+' || c == ',' || c == ';' || c == '=' || c == '@';
}

} // namespace

std::string FileUrl(const std::string& pathIn)
{
    std::string path = pathIn;
    if (path.rfind("\\\\?\\UNC\\", 0) == 0)
        path = "\\\\" + path.substr(8);
    else if (path.rfind("\\\\?\\", 0) == 0)
        path = path.substr(4);
    std::string url = "file://";
    size_t from = 0;
    if (path.rfind("\\\\", 0) == 0) {
        from = 2;  // the server becomes the URL's host
    } else {
        url += '/';
        if (path.size() >= 2 && path[1] == ':') {
            url += path.substr(0, 2);
            from = 2;
        }
    }
    static const char hex[] = "0123456789ABCDEF";
    for (size_t i = from; i < path.size(); ++i) {
        unsigned char c = (unsigned char)path[i];
        if (c == '\\')
            c = '/';
        if (KeptAsIs(c)) {
            url += (char)c;
        } else {
            url += '%';
            url += hex[c >> 4];
            url += hex[c & 15];
        }
    }
    return url;
}
