#include "engine/path_helpers.h"

#include <cctype>
#include <cstdio>
#include <memory>

bool ParentPath(const std::string& path, std::string& parent)
{
    size_t slash = path.rfind('\\');
    if (slash == std::string::npos) {
        parent.clear();
        return false;
    }
    if (slash == 0) {
        parent = "\\";
        return path != "\\";
    }
    parent = path.substr(0, slash);
    return true;
}

bool LeafName(const std::string& path, std::string& leaf)
{
    if (path == "\\") {
        leaf = path;
        return false;
    }
    size_t slash = path.rfind('\\');
    if (slash == std::string::npos) {
        leaf = path;
        return false;
    }
    leaf = path.substr(slash + 1);
    return true;
}

std::string LeafName(const std::string& path)
{
    std::string leaf;
    LeafName(path, leaf);
    return leaf;
}

std::string FileExtension(const std::string& path)
{
    size_t dot = path.rfind('.');
    return dot == std::string::npos ? std::string() : path.substr(dot + 1);
}

std::string DriveRoot(const std::string& path)
{
    if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && path[2] == '\\')
        return path.substr(0, 3);
    return std::string();
}

bool WriteTextFile(const std::string& path, const std::string& content)
{
    FILE* raw = std::fopen(path.c_str(), "wb");
    if (!raw)
        return false;
    std::unique_ptr<FILE, int (*)(FILE*)> file(raw, &std::fclose);
    if (std::fwrite(content.data(), 1, content.size(), file.get()) != content.size())
        return false;
    return std::fclose(file.release()) == 0;
}
