// A runner that runs nothing: captured runs are answered with canned output, and every run is
// recorded with the list file it named as that file read at the time of the run. For the
// listing and operation bodies' tests, natively and under Wine.
#pragma once

#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/jar_output.h"
#include "engine/jar_runner.h"
#include "engine/listing_parser.h"
#include "framework/message_box.h"

namespace testsupport {

struct RecordedRun {
    std::string arguments;
    bool console = false;
    ConsoleShow show = ConsoleShow::Hidden;
    // The bytes of the "!" list file when the run started; empty when it named none.
    std::string listText;
};

class FakeRunner : public JarRunner {
public:
    // Captured runs: argument text -> what the archiver prints.
    std::map<std::string, std::string> outputs;
    std::vector<RecordedRun> runs;
    bool capturedFails = false;
    bool consoleFails = false;
    // Console runs end as Cancel ends them: false, lastRunCancelled, nothing said.
    bool consoleCancelled = false;
    int waitDepth = 0;
    // Runs may overlap: a run started in the background is recorded when started and answered,
    // like a captured run, when finished.
    bool overlaps = false;

    std::string JarFolder() const override { return "C:\\Jar"; }
    std::string ProgramFolder() const override { return "C:\\Torvex"; }
    std::string WorkingFolder() const override { return "C:\\data"; }
    void BeginWaitCursor() override { ++waitDepth; }
    void EndWaitCursor() override { waitDepth = 0; }
    void ShowMessage(const std::string& text, bool failure) override
    {
        PromptUser(text, failure ? prompt::Ok | prompt::IconStop : prompt::Ok);
    }

    bool RunConsole(const std::string& arguments, ConsoleShow show) override
    {
        runs.push_back({arguments, true, show, ListText(arguments)});
        lastRunCancelled = consoleCancelled;
        if (consoleCancelled)
            return false;
        return consoleFails ? ReportFailure("JAR ERROR: failed\n") : true;
    }
    bool RunJarCaptured(const std::string& arguments, std::vector<std::string>& lines) override
    {
        runs.push_back({arguments, false, ConsoleShow::Hidden, std::string()});
        BeginWaitCursor();
        if (capturedFails)
            return ReportFailure("Failed to run Jar");
        SplitOutputLines(outputs[arguments], lines);
        EndWaitCursor();
        return true;
    }

    std::unique_ptr<BackgroundRun> StartInBackground(const std::string& arguments) override
    {
        if (!overlaps)
            return nullptr;
        runs.push_back({arguments, false, ConsoleShow::Hidden, std::string()});
        struct Canned : BackgroundRun {
            std::string output;
            bool Started() const override { return true; }
            bool Finish(std::vector<std::string>& lines) override
            {
                SplitOutputLines(output, lines);
                return true;
            }
        };
        auto run = std::make_unique<Canned>();
        run->output = outputs[arguments];
        return run;
    }

    std::vector<std::string> Arguments() const
    {
        std::vector<std::string> all;
        for (const RecordedRun& run : runs)
            all.push_back(run.arguments);
        return all;
    }

private:
    static std::string ListText(const std::string& arguments)
    {
        size_t at = arguments.find(" !\"");
        if (at == std::string::npos)
            return std::string();
        std::string path = arguments.substr(at + 3, arguments.find('"', at + 3) - at - 3);
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
};

#ifdef TORVEX_TEST_DATA
// The text of a recorded listing in tests/data/listings; empty when there is no such file.
inline std::string ListingFixture(const std::string& name)
{
    std::ifstream file(std::string(TORVEX_TEST_DATA) + "/listings/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
#endif

} // namespace testsupport
