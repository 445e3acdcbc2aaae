#include "archiver/progress.h"

#include <atomic>
#include <chrono>
#include <cstdlib>

#include "archiver/archive_writer.h"
#include "archiver/commands.h"
#include "archiver/console_output.h"
#include "archiver/file_system.h"

namespace jar {
namespace {
using Clock = std::chrono::steady_clock;
// Records and the console line come at most this often inside a file.
constexpr auto kInterval = std::chrono::milliseconds(200);
// The records of quick files go out together, at most this often: a write each would cost more
// than the files themselves (5,000 small files tested in well under a second).
constexpr auto kGather = std::chrono::milliseconds(20);

std::atomic<bool> cancelled{false};

struct State {
    bool setUp = false;
    bool channel = false;
    int columns = 0; // the console line's room; 0 without one
    std::string phase;
    int64_t filesDone = 0, filesTotal = -1, bytesDone = 0, bytesTotal = -1;
    uint64_t fileStart = 0, fileSize = 0;
    bool inFile = false;
    std::string file;
    Clock::time_point last; // the last write to the channel, or the last console line
    std::string held;       // records not written yet

    bool Active() const { return channel || columns > 0; }
};
State state;

void OnCancel() { cancelled = true; }

// The decimal number a variable holds; false for anything else.
bool HandleNumber(const char* text, uint64_t& value)
{
    if (!text || !*text)
        return false;
    value = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9' || value > (UINT64_MAX - 9) / 10)
            return false;
        value = value * 10 + uint64_t(*p - '0');
    }
    return true;
}

// A record is one line whatever the name holds.
std::string OneLineName(const std::string& name)
{
    std::string line;
    for (char c : name) {
        if (c == '\n')
            line += "<LF>";
        else if (c == '\r')
            line += "<CR>";
        else
            line += c;
    }
    return line;
}

std::string Record()
{
    return state.phase + '\t' + std::to_string(state.filesDone) + '\t' + std::to_string(state.filesTotal) + '\t' +
           std::to_string(state.bytesDone) + '\t' + std::to_string(state.bytesTotal) + '\t' + OneLineName(state.file) +
           '\n';
}

std::string Size(int64_t bytes)
{
    if (bytes < (1 << 20))
        return GroupDigits(uint64_t((bytes + 1023) / 1024)) + " KB";
    int64_t tenths = bytes * 10 / (1 << 20);
    return GroupDigits(uint64_t(tenths / 10)) + "." + std::to_string(tenths % 10) + " MB";
}

// The console line: what is done, how far, and the file, its start cut off when it is too long.
std::string ConsoleLine()
{
    static const std::pair<const char*, const char*> verbs[] = {
        {phase::Scan, "Scanning"},  {phase::Compress, "Compressing"}, {phase::Copy, "Copying"},
        {phase::Index, "Writing the index"}, {phase::Test, "Testing"}, {phase::Extract, "Extracting"}};
    std::string line = state.phase;
    for (const auto& [name, verb] : verbs)
        if (state.phase == name)
            line = verb;
    if (state.bytesTotal > 0) {
        int64_t done = std::min(state.bytesDone, state.bytesTotal);
        line += "  " + std::to_string(done * 100 / state.bytesTotal) + "%  " + Size(done) + " of " + Size(state.bytesTotal);
    } else if (state.filesTotal > 0) {
        line += "  " + std::to_string(std::min(state.filesDone, state.filesTotal) * 100 / state.filesTotal) + "%";
    }
    if (state.filesDone > 0 && state.filesTotal < 0)
        line += "  " + GroupDigits(uint64_t(state.filesDone)) + " files";
    size_t room = size_t(state.columns - 1); // the last column would wrap the line
    std::string name = OneLineName(state.file);
    if (TextColumns(line) + 2 >= room)
        name.clear();
    else if (TextColumns(line) + 2 + TextColumns(name) > room) {
        size_t keep = room - TextColumns(line) - 2 - 3, cut = name.size();
        for (size_t kept = 0; cut > 0 && kept < keep;)
            kept += (static_cast<unsigned char>(name[--cut]) & 0xC0) != 0x80;
        name = "..." + name.substr(cut);
    }
    if (!name.empty())
        line += "  " + name;
    while (TextColumns(line) > room) {
        while (!line.empty() && (static_cast<unsigned char>(line.back()) & 0xC0) == 0x80)
            line.pop_back();
        if (!line.empty())
            line.pop_back();
    }
    return line;
}

enum class Urgency {
    Tick, // inside a file: a record once the interval has passed
    File, // a record, written with the others of its moment
    Now,  // a phase begins or ends: written at once
};

void Report(Urgency urgency)
{
    if (!state.Active())
        return;
    Clock::time_point time = Clock::now();
    auto since = time - state.last;
    if (!state.channel) {
        if (since >= kInterval) {
            state.last = time;
            Console::Status(ConsoleLine());
        }
        return;
    }
    if (urgency != Urgency::Tick || since >= kInterval)
        state.held += Record();
    if (state.held.empty() || (urgency != Urgency::Now && since < kGather))
        return;
    state.last = time;
    bool written = channel::Write(state.held);
    state.held.clear();
    if (!written) {
        // The reader is gone: the run goes on without telling anyone.
        state.channel = false;
        channel::Close();
    }
}
} // namespace

void Progress::SetUp()
{
    if (state.setUp)
        return;
    state.setUp = true;
    state.last = Clock::now();
    uint64_t handle = 0;
    const char* progress = std::getenv(kProgressVariable);
    if (progress && *progress) {
        if (HandleNumber(progress, handle) && channel::Open(handle))
            state.channel = true;
        else
            Console::Warning(std::string(kProgressVariable) + "=" + progress + " names no open pipe; no progress is reported");
    }
    const char* cancel = std::getenv(kCancelVariable);
    if (cancel && *cancel && !(HandleNumber(cancel, handle) && channel::WatchCancel(handle, OnCancel)))
        Console::Warning(std::string(kCancelVariable) + "=" + cancel + " names no open signal; the run cannot be cancelled");
    if (!state.channel)
        state.columns = channel::ConsoleColumns();
}

void Progress::Phase(const char* name, int64_t filesTotal, int64_t bytesTotal)
{
    if (!state.Active())
        return;
    if (!state.phase.empty())
        Close();
    state.phase = name;
    state.filesDone = state.bytesDone = 0;
    state.filesTotal = filesTotal;
    state.bytesTotal = bytesTotal;
    state.inFile = false;
    state.file.clear();
    Report(Urgency::Now);
}

void Progress::Found(const std::string& path, uint64_t size)
{
    if (!state.Active())
        return;
    ++state.filesDone;
    state.bytesDone += int64_t(size);
    state.file = path;
    Report(Urgency::Tick);
}

void Progress::File(const std::string& name, uint64_t size)
{
    if (!state.Active())
        return;
    TestPoint("progress");
    if (state.inFile)
        FileDone();
    state.inFile = true;
    state.file = name;
    state.fileStart = uint64_t(state.bytesDone);
    state.fileSize = size;
    Report(Urgency::File);
}

void Progress::Bytes(uint64_t count)
{
    if (!state.Active())
        return;
    TestPoint("progress");
    uint64_t done = uint64_t(state.bytesDone) + count;
    if (state.inFile)
        done = std::min(done, state.fileStart + state.fileSize);
    state.bytesDone = int64_t(done);
    Report(Urgency::Tick);
}

void Progress::FileDone()
{
    if (!state.Active() || !state.inFile)
        return;
    state.inFile = false;
    state.bytesDone = int64_t(state.fileStart + state.fileSize);
    ++state.filesDone;
}

void Progress::Close()
{
    if (!state.Active() || state.phase.empty())
        return;
    FileDone();
    if (state.filesTotal < 0)
        state.filesTotal = state.filesDone;
    if (state.bytesTotal < 0)
        state.bytesTotal = state.bytesDone;
    Report(Urgency::Now);
    state.phase.clear();
}

bool CancelAsked() { return cancelled; }

bool StopAsked() { return cancelled || Interrupted(); }

std::string StopMessage() { return CancelAsked() ? "cancelled" : "interrupted by the user"; }

} // namespace jar
