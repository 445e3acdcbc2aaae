// Which verb opens a file with the program its type is associated with, read from the class
// registry through a small interface so the rule is tested without a registry.
#pragma once

#include <optional>
#include <string>
#include <vector>

class ClassRegistry {
public:
    virtual ~ClassRegistry() = default;
    // The default value of a key below the class root; none when the key or value is missing.
    virtual std::optional<std::string> DefaultValue(const std::string& key) = 0;
    // The names of a key's subkeys; empty when the key is missing.
    virtual std::vector<std::string> SubkeyNames(const std::string& key) = 0;
};

// The type's default verb; with none, its only verb; with several, "open"; empty when the file's
// type is not registered (the platform's default action then applies).
std::string FindOpenVerb(ClassRegistry& registry, const std::string& fileName);

// What a double click on a file launches, and what View/Open (Ctrl+V) launches: always the other
// of the two. "AssocProg" 0: a double click opens the associated program, View the viewer.
enum class FileLauncher { Association, Viewer };
FileLauncher DoubleClickLauncher(int assocProg);
FileLauncher ViewCommandLauncher(int assocProg);
// The context menu's label of View/Open: it names what the command launches.
const char* ViewCommandLabel(int assocProg);
