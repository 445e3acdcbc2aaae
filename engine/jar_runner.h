// The owner of archiver runs: where jar32.exe and Torvex.cfg are, where a run works, and how a
// failure reaches the user. The document derives from it; tests derive fakes that return canned
// output.
#pragma once

#include "engine/archive_catalogue.h"
#include "engine/jar_output.h"
#include "engine/run_monitor.h"

#include <memory>
#include <string>
#include <vector>

// How the archiver's console window shows during a run (the values are the system's show commands).
enum class ConsoleShow : int { Hidden = 0, Shown = 5, Minimised = 6 };

// A captured run started to go on while the caller makes other runs; its output is kept whole
// until Finish. Dropped unfinished, the run is ended.
class BackgroundRun {
public:
    virtual ~BackgroundRun() = default;
    // False when the run could not be started (reported then): nothing is to come.
    virtual bool Started() const = 0;
    // Waits for the run to end and appends its lines (both streams). False, with nothing
    // appended and nothing reported, when its output could not be read whole.
    virtual bool Finish(std::vector<std::string>& lines) = 0;
};

class JarRunner {
public:
    virtual ~JarRunner() = default;

    // Set for an operation's runs: console runs report their progress there, and its Cancel
    // stops them. Null: runs as they always did, with nothing to stop them but Ctrl+C.
    RunMonitor* monitor = nullptr;
    // The user has pressed Cancel: whatever the operation had left to do is not started.
    bool StopRequested() const { return monitor && monitor->CancelRequested(); }
    // The last console run was stopped by Cancel (the archiver said so with its own exit code, or
    // was ended), or never started because of it. Nothing was reported to the user: a cancelled
    // run is an ending of its own, not a failure.
    bool lastRunCancelled = false;

    // The folder of jar32.exe (setting jarEdit).
    virtual std::string JarFolder() const = 0;
    // The program folder (setting torvexEdit); Torvex.cfg lives there.
    virtual std::string ProgramFolder() const = 0;
    // Where list files go: the program folder, unless it cannot be written.
    virtual std::string ListFolder() const { return ProgramFolder(); }
    // The folder the archiver runs in: the view's disk folder.
    virtual std::string WorkingFolder() const = 0;

    virtual void BeginWaitCursor() {}
    virtual void EndWaitCursor() {}

    // Shows the user a message: a failure (with the stop icon) or a notice. The core knows no
    // message box; the Windows session and the tests' sessions supply one.
    virtual void ShowMessage(const std::string& text, bool failure) = 0;

    // Ends the wait cursor, shows the message as a failure and returns false.
    bool ReportFailure(const std::string& message);

    // Runs `arguments` in the archiver's own console; true when its standard error holds no line
    // starting with "ERROR" or "WARNING". False and lastRunCancelled when Cancel stopped it.
    virtual bool RunConsole(const std::string& arguments, ConsoleShow show) = 0;
    // Runs the archiver hidden and appends everything it printed (both streams), line by line.
    virtual bool RunJarCaptured(const std::string& arguments, std::vector<std::string>& lines) = 0;
    // The same run, handing each line to `sink` as soon as it has arrived whole. A false result
    // (reported) may come after some lines were handed on. By default the lines are handed on
    // after the run, from RunJarCaptured's list.
    virtual bool RunJarCapturedInto(const std::string& arguments, OutputLineSink& sink);
    // Starts `arguments` hidden, to run alongside the next captured run. Null when this runner
    // makes one run at a time (the default): the caller then makes the run in its turn.
    virtual std::unique_ptr<BackgroundRun> StartInBackground(const std::string& arguments);

    // Clears the catalogue and reads the chapter list of catalogue.ArchivePath.
    bool ListChapters(ArchiveCatalogue& catalogue);
    // Reads chapter n's verbose listing into its slot. n = 0 (no chapter in the archive): an
    // empty chapter 1 and the message "No chapter found in this archive".
    bool ListChapter(ArchiveCatalogue& catalogue, int n);
    // Both: the chapter list of catalogue.ArchivePath, then chapter n (the last one when n is 0 or
    // not in the list). The one way an archive is listed whole. For the last chapter, a runner
    // that can make two runs at once lists it while the chapter list is made, and takes it when
    // its header names the chapter the list gives as the last; otherwise (the archive changed
    // between the two) that chapter is listed again in turn.
    bool ListArchive(ArchiveCatalogue& catalogue, int n = 0);

private:
    bool ListNewestAlongside(ArchiveCatalogue& catalogue, BackgroundRun& chapterList);
};
