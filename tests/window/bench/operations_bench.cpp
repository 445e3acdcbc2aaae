// Measures, under Wine, extracting a large archive through Torvex's extract path (the bodies
// Extract to... runs, with Full Path and with Partial Path from a sub-folder) against the
// archiver's own "x" of the same archive, side by side in one run. Not a test: it prints figures.
//   torvex_operations_bench -archive=<archive.j> [-folder=<sub-folder at the root>] [-runs=N]
// Outputs go to a scratch folder on drive C:, so that the staging folder is on the same drive.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "extract_test_host.h"
#include "framework/message_box.h"
#include "tests/support/jar_runner.h"
#include "view_test_support.h"

using namespace viewtest;
using Clock = std::chrono::steady_clock;

namespace {

double SecondsOf(const std::function<void()>& work)
{
    auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Tally {
    long files = 0;
    unsigned long long bytes = 0;
    bool operator==(const Tally&) const = default;
};

// Files and bytes below a folder: what each way produced, compared with the archiver's output.
void Count(const std::string& folder, Tally& tally)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            Count(folder + "\\" + name, tally);
        } else {
            ++tally.files;
            tally.bytes += (unsigned long long)found.nFileSizeHigh << 32 | found.nFileSizeLow;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

Tally CountOf(const std::string& folder)
{
    Tally tally;
    Count(folder, tally);
    return tally;
}

struct Way {
    std::string name;
    std::vector<double> seconds;
    std::vector<double> jarSeconds;  // of which the archiver's run (Torvex's ways)
    bool same = true;
};

double Best(const std::vector<double>& v)
{
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    std::string archive, folder;
    int runs = 3;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.rfind("-archive=", 0) == 0)
            archive = arg.substr(9);
        else if (arg.rfind("-folder=", 0) == 0)
            folder = arg.substr(8);
        else if (arg.rfind("-runs=", 0) == 0)
            runs = std::max(1, std::atoi(arg.c_str() + 6));
    }
    if (archive.empty()) {
        std::fprintf(stderr, "usage: torvex_operations_bench -archive=ARCHIVE [-folder=SUBFOLDER] [-runs=N]\n");
        return 2;
    }
    std::vector<std::string> messages;
    SetPromptScript([&](const PromptRequest& r) {
        messages.push_back(r.text);
        return prompt::IdOk;
    });

    std::string root = MakeScratchFolder("ops_bench");
    ExtractTestHost host;
    if (!host.Open(archive, root, ProgramFolder())) {
        std::fprintf(stderr, "cannot list %s\n", archive.c_str());
        return 1;
    }
    if (folder.empty()) {
        // The first directory at the root.
        for (const auto& e : *host.ShownDirectories()->Find("\\"))
            if (e->IsDirectory() && folder.empty())
                folder = e->Columns[ArchiveEntry::Name];
    }
    if (!host.ShownDirectories()->Find("\\" + folder)) {
        std::fprintf(stderr, "no folder %s at the archive's root\n", folder.c_str());
        return 1;
    }
    ExtractDialog& dialog = host.dialog;
    dialog.overwriteWithoutPrompting = true;
    dialog.extractWhat = extractopt::AllFiles;
    auto switchesTo = [&](const std::string& directory) {
        dialog.pathOption = extractopt::FullPath;
        dialog.directory = directory;
        return dialog.BuildSwitches();
    };

    Way alone{"jar32 x (its console, as Torvex starts it)", {}, {}};
    Way plain{"jar32 x (plain process, output piped)", {}, {}};
    Way full{"Torvex, Full Path, root", {}, {}};
    Way partial{"Torvex, Partial Path, from \\" + folder, {}, {}};
    Tally reference;

    for (int run = 0; run < runs; ++run) {
        std::string out = root + "\\x";
        ArchiveCatalogue command;
        command.ArchivePath = archive;
        command.Command = switchesTo(out) + " \"" + archive + "\" *";
        alone.seconds.push_back(SecondsOf([&] { host.session.RunJarConsole(command, SW_MINIMIZE); }));
        reference = CountOf(out + "\\" + folder);
        RemoveTree(out);

        std::string arguments = switchesTo(out) + " \"" + archive + "\" *";
        plain.seconds.push_back(SecondsOf([&] { testsupport::RunJar(arguments.substr(1)); }));
        plain.same = plain.same && CountOf(out + "\\" + folder) == reference;
        RemoveTree(out);

        out = root + "\\full";
        host.archiveFolder = "\\";
        dialog.commandLine = switchesTo(out);
        host.jarSeconds = 0;
        full.seconds.push_back(SecondsOf([&] { ExtractFiles(host, false); }));
        full.jarSeconds.push_back(host.jarSeconds);
        full.same = full.same && CountOf(out + "\\" + folder) == reference;
        RemoveTree(out);

        out = root + "\\partial";
        host.archiveFolder = "\\" + folder;
        dialog.pathOption = extractopt::PartialPath;
        dialog.directory = out;
        host.jarSeconds = 0;
        partial.seconds.push_back(SecondsOf([&] { ExtractFiles(host, false); }));
        partial.jarSeconds.push_back(host.jarSeconds);
        partial.same = partial.same && CountOf(out) == reference;
        RemoveTree(out);
    }
    RemoveTree(root);

    std::printf("Extract %s: %ld files, %.0f MB, %d run(s); best (median) wall seconds\n", archive.c_str(),
                reference.files, reference.bytes / 1e6, runs);
    std::printf("| Way | Seconds | of which jar32 | / jar32 x |\n|---|---|---|---|\n");
    double base = Best(alone.seconds);
    for (const Way* way : {&alone, &plain, &full, &partial}) {
        char jar[32] = "-";
        if (!way->jarSeconds.empty())
            std::snprintf(jar, sizeof(jar), "%.2f", Best(way->jarSeconds));
        std::printf("| %s | %.2f (%.2f) | %s | %.2f%s |\n", way->name.c_str(), Best(way->seconds), Median(way->seconds),
                    jar, Best(way->seconds) / base, way->same ? "" : " OUTPUT DIFFERS");
    }
    for (const std::string& m : messages)
        std::printf("message shown: %s\n", m.c_str());
    return 0;
}
