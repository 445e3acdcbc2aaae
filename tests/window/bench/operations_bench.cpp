// Measures, under Wine, Torvex's extract and add operations against the archiver alone, side by
// side in one run. Not a test: it prints figures.
//   torvex_operations_bench -archive=<archive.j> [-folder=<sub-folder at its root>]
//                           [-corpus=<folder to add>] [-many=<folder of 100,000 files>] [-runs=N]
// Extract: the bodies Extract to... runs, with Full Path and with Partial Path from the
// sub-folder, against "x" of the whole archive. Add: the add body (its list file, then the
// archiver) against "a" from a list file already written; and writing the list file of 100,000
// files. Outputs go to a scratch folder on drive C:, where the staging folder is too.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/add_command.h"
#include "engine/jar_commands.h"
#include "extract_test_host.h"
#include "framework/message_box.h"
#include "operations/list_file.h"
#include "operations/operation_bodies.h"
#include "operations/add_operation.h"
#include "operations/progress_window.h"
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

unsigned long long SizeOf(const std::string& file)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (unsigned long long)data.nFileSizeHigh << 32 | data.nFileSizeLow;
}

// The archiver's share of an add: the time spent in its console runs.
class TimedSession : public WinJarRunner {
public:
    double seconds = 0;
    bool RunConsole(const std::string& arguments, ConsoleShow show) override
    {
        auto start = Clock::now();
        bool ok = WinJarRunner::RunConsole(arguments, show);
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
        return ok;
    }
};

// The progress window on an interface thread of its own while Torvex's ways run, as the program
// shows it while its worker runs: the archiver reports to it, and it refreshes on its timer.
class ShownProgress {
public:
    ShownProgress(JarRunner& session) : session_(session)
    {
        ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, &ShownProgress::Run, this, 0, &threadId_);
        WaitForSingleObject(ready_, 10000);
        session_.monitor = monitor_.get();
    }
    ~ShownProgress()
    {
        session_.monitor = nullptr;
        PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        CloseHandle(ready_);
    }
    // Whether the archiver reported anything to the window.
    bool Reported() const
    {
        jarcontract::ProgressRecord record;
        return monitor_->Latest(record) > 0;
    }

private:
    static DWORD WINAPI Run(void* raw)
    {
        auto* self = static_cast<ShownProgress*>(raw);
        ProgressWindow window;
        window.Create(GetModuleHandleA(nullptr), nullptr, self->monitor_);
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before the poster looks
        SetEvent(self->ready_);
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return 0;
    }

    JarRunner& session_;
    std::shared_ptr<RunMonitor> monitor_ = std::make_shared<RunMonitor>();
    HANDLE ready_ = nullptr;
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
};

// One line of the table: the wall times of each run, the archiver's share, and the line it is
// compared with.
struct Way {
    Way(std::string name, const Way* base = nullptr) : name(std::move(name)), base(base) {}
    std::string name;
    const Way* base = nullptr;
    std::vector<double> seconds;
    std::vector<double> jarSeconds;
    bool same = true;  // produced what the archiver alone produced
    std::string note;
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

std::string Argument(int argc, char** argv, const std::string& name)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.rfind("-" + name + "=", 0) == 0)
            return arg.substr(name.size() + 2);
    }
    return std::string();
}

void Extract(ExtractTestHost& host, const std::string& root, const std::string& folder, int runs, std::vector<Way>& ways)
{
    std::string archive = host.ArchivePath();
    ExtractDialog& dialog = host.dialog;
    dialog.overwriteWithoutPrompting = true;
    dialog.extractWhat = extractopt::AllFiles;
    auto switchesTo = [&](const std::string& directory) {
        dialog.pathOption = PathOption::Full;
        dialog.directory = directory;
        return dialog.BuildSwitches();
    };
    Way& alone = ways.emplace_back("jar32 x (its console, as Torvex starts it)");
    Way& plain = ways.emplace_back("jar32 x (plain process, output piped)", &alone);
    Way& full = ways.emplace_back("Torvex extract, Full Path, from the root", &alone);
    Way& partial = ways.emplace_back("Torvex extract, Partial Path, from \\" + folder, &alone);
    for (int run = 0; run < runs; ++run) {
        std::string out = root + "\\x";
        std::string command = switchesTo(out) + " \"" + archive + "\" *";
        alone.seconds.push_back(SecondsOf([&] { host.session.RunConsole(command, ConsoleShow::Minimised); }));
        Tally reference = CountOf(out + "\\" + folder);
        alone.note = std::to_string(reference.files) + " files, " + std::to_string(reference.bytes / 1000000) + " MB";
        RemoveTree(out);

        std::string arguments = switchesTo(out) + " \"" + archive + "\" *";
        plain.seconds.push_back(SecondsOf([&] { testsupport::RunJar(arguments.substr(1)); }));
        plain.same = plain.same && CountOf(out + "\\" + folder) == reference;
        RemoveTree(out);

        out = root + "\\full";
        host.archiveFolder = "\\";
        dialog.commandLine = switchesTo(out);
        host.session.seconds = 0;
        {
            ShownProgress shown(host.session);
            full.seconds.push_back(SecondsOf([&] { host.ExtractFiles(false); }));
            full.note = shown.Reported() ? "progress shown" : "no progress reported";
        }
        full.jarSeconds.push_back(host.session.seconds);
        full.same = full.same && CountOf(out + "\\" + folder) == reference;
        RemoveTree(out);

        out = root + "\\partial";
        host.archiveFolder = "\\" + folder;
        dialog.pathOption = PathOption::Partial;
        dialog.directory = out;
        host.session.seconds = 0;
        {
            ShownProgress shown(host.session);
            partial.seconds.push_back(SecondsOf([&] { host.ExtractFiles(false); }));
            partial.note = shown.Reported() ? "progress shown" : "no progress reported";
        }
        partial.jarSeconds.push_back(host.session.seconds);
        partial.same = partial.same && CountOf(out) == reference;
        RemoveTree(out);
    }
}

// The Add dialog's defaults: Add, best compression, Partial Path.
OperationJob AddJobFor(const std::string& programFolder, const std::string& archive, const std::string& commandLine,
                       EntryList rows)
{
    OperationJob job;
    job.kind = OperationKind::AddFiles;
    job.folders.programFolder = job.folders.listFolder = programFolder;
    job.add.commandLine = commandLine;
    job.add.archiveName = archive;
    job.add.pathOption = PathOption::Partial;
    job.work = std::move(rows);
    return job;
}

EntryList FolderRow(const std::string& folder)
{
    EntryList rows;
    rows.Add(DroppedEntry(folder, true));
    return rows;
}

void Add(const std::string& root, const std::string& corpus, int runs, std::vector<Way>& ways)
{
    TimedSession session;
    session.jarFolder = ProgramFolder();
    session.programFolder = session.workingFolder = root;
    AddChoices choices;
    AddCommandEnvironment environment;
    environment.systemTemp = root + "\\";
    environment.isFixedDrive = [](const std::string&) { return true; };
    std::string commandLine = BuildAddCommand(choices, environment).commandLine;

    // The archiver's input: the list file the operation writes, kept aside.
    std::string list = root + "\\jar-list";
    OperationJob listOnly = AddJobFor(root, root + "\\unused.j", commandLine, FolderRow(corpus));
    listOnly.add.listFileOnly = true;
    RunAdd(session, listOnly, ListFolderNames, false);
    MoveFileA(ProgramFileName(root, kAddListName).c_str(), list.c_str());

    Way& alone = ways.emplace_back("jar32 a from a list file (its console)");
    Way& torvex = ways.emplace_back("Torvex add (list file, then jar32)", &alone);
    for (int run = 0; run < runs; ++run) {
        std::string archive = root + "\\jar.j";
        std::string command = ListFileArguments(commandLine, archive, list);
        alone.seconds.push_back(SecondsOf([&] { session.RunConsole(command, ConsoleShow::Minimised); }));
        unsigned long long reference = SizeOf(archive);
        alone.note = std::to_string(reference / 1000000) + " MB archive, " + commandLine;
        DeleteFileA(archive.c_str());

        archive = root + "\\torvex.j";
        OperationJob job = AddJobFor(root, archive, commandLine, FolderRow(corpus));
        session.seconds = 0;
        {
            ShownProgress shown(session);
            torvex.seconds.push_back(SecondsOf([&] { RunAdd(session, job, ListFolderNames, false); }));
            if (run == 0)
                torvex.note = shown.Reported() ? "progress shown;" : "no progress reported;";
        }
        torvex.jarSeconds.push_back(session.seconds);
        // The archives' names and stamps are stored in them: a few bytes apart, never more.
        unsigned long long size = SizeOf(archive);
        if (size + 16 < reference || size > reference + 16) {
            torvex.same = false;
            torvex.note += " run " + std::to_string(run + 1) + ": " + std::to_string(size) + " bytes against " +
                           std::to_string(reference) + ";";
        }
        DeleteFileA(archive.c_str());
    }
}

// Writing the add list file (nothing run): a folder of 100,000 files searched on disk, and
// 100,000 rows given as they are.
void AddList(const std::string& root, const std::string& many, int runs, std::vector<Way>& ways)
{
    WinJarRunner session;
    session.programFolder = root;
    std::string list = ProgramFileName(root, kAddListName);
    auto write = [&](Way& way, const std::function<EntryList()>& rows) {
        for (int run = 0; run < runs; ++run) {
            OperationJob job = AddJobFor(root, root + "\\unused.j", "a", rows());
            job.add.listFileOnly = true;
            way.seconds.push_back(SecondsOf([&] { RunAdd(session, job, ListFolderNames, false); }));
            way.note = std::to_string(SizeOf(list) / 1000) + " KB list";
            DeleteFileA(list.c_str());
        }
    };
    if (!many.empty())
        write(ways.emplace_back("add list of a 100,000-file folder, searched on disk"), [&] { return FolderRow(many); });
    write(ways.emplace_back("add list of 100,000 rows"), [&] {
        EntryList rows;
        for (int i = 0; i < 100000; ++i) {
            char name[64];
            std::snprintf(name, sizeof(name), "C:\\data\\p%03d\\entry%06d.txt", i / 1000, i);
            rows.Add(DroppedEntry(name, false));
        }
        return rows;
    });
}

} // namespace

int main(int argc, char** argv)
{
    std::string archive = Argument(argc, argv, "archive");
    std::string folder = Argument(argc, argv, "folder");
    std::string corpus = Argument(argc, argv, "corpus");
    std::string many = Argument(argc, argv, "many");
    int runs = std::max(1, std::atoi(Argument(argc, argv, "runs").c_str()));
    if (archive.empty()) {
        std::fprintf(stderr, "usage: torvex_operations_bench -archive=ARCHIVE [-folder=SUBFOLDER] [-corpus=FOLDER] "
                             "[-many=FOLDER] [-runs=N]\n");
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
        for (const auto& e : *host.catalogue.Chapter(host.chapter)->Directories.Find("\\"))
            if (e->IsDirectory() && folder.empty())
                folder = e->Columns[ArchiveEntry::Name];
    }
    if (!host.catalogue.Chapter(host.chapter)->Directories.Find("\\" + folder)) {
        std::fprintf(stderr, "no folder %s at the archive's root\n", folder.c_str());
        return 1;
    }

    std::vector<Way> ways;
    ways.reserve(10);  // the lines point at their baselines
    Extract(host, root, folder, runs, ways);
    if (!corpus.empty())
        Add(root, corpus, runs, ways);
    AddList(root, many, runs, ways);
    RemoveTree(root);

    std::printf("%d run(s) of each; wall seconds, best (median)\n", runs);
    std::printf("| Way | Seconds | of which jar32 | Ratio | |\n|---|---|---|---|---|\n");
    for (const Way& way : ways) {
        char jar[32] = "-", ratio[32] = "-";
        if (!way.jarSeconds.empty())
            std::snprintf(jar, sizeof(jar), "%.2f", Best(way.jarSeconds));
        if (way.base)
            std::snprintf(ratio, sizeof(ratio), "%.2f", Best(way.seconds) / Best(way.base->seconds));
        std::printf("| %s | %.2f (%.2f) | %s | %s | %s%s |\n", way.name.c_str(), Best(way.seconds), Median(way.seconds), jar,
                    ratio, way.note.c_str(), way.same ? "" : " OUTPUT DIFFERS");
    }
    for (const std::string& m : messages)
        std::printf("message shown: %s\n", m.c_str());
    return 0;
}
