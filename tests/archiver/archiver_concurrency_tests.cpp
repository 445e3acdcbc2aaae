// jar32 beside other runs of itself and killed half-way: a change that exits 0 is in the archive,
// one that fails says so, and a kill leaves the old archive or the new one, never a mix.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <thread>

#include "archiver/archive_writer.h"
#include "archiver/index_codec.h"
#include "jar_test_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {
bool Clean(const JarRun& run) { return run.exitCode == 0 && !run.HasError(); }
bool Refused(const JarRun& run) { return run.exitCode != 0 && run.err.rfind("ERROR", 0) == 0; }

bool WriteFile(const std::string& path, const std::string& content)
{
    jar::DiskFile file;
    return file.Open(path, jar::DiskFile::ForWriting) && file.Write(content.data(), content.size());
}

// Names in a listing of the archive's last chapter.
std::vector<std::string> StoredNames(const JarRun& listing)
{
    std::vector<std::string> names;
    size_t at = 0;
    while ((at = listing.out.find(") ", at)) != std::string::npos) {
        size_t start = listing.out.rfind('\n', at) + 1, end = listing.out.find_first_of("\r\n", at);
        std::string path = listing.out.substr(at + 2, end - at - 2);
        if (at > start && std::all_of(listing.out.begin() + long(start), listing.out.begin() + long(at), ::isdigit))
            names.push_back(path.substr(path.find_last_of('\\') + 1));
        at = end;
    }
    return names;
}
} // namespace

class JarConcurrencyTest : public JarTest {
protected:
    // Every file of a folder whose name starts with `prefix`, with its bytes.
    std::map<std::string, std::string> Snapshot(const std::string& prefix)
    {
        std::vector<std::string> names;
        jar::ListDirectory(root, names);
        std::map<std::string, std::string> files;
        for (const std::string& name : names)
            if (name.rfind(prefix, 0) == 0)
                files[name] = Read(name);
        return files;
    }
    void Restore(const std::string& prefix, const std::map<std::string, std::string>& files)
    {
        for (const auto& [name, bytes] : Snapshot(prefix))
            if (!files.count(name))
                jar::RemoveFile(P(name));
        for (const auto& [name, bytes] : files)
            ASSERT_TRUE(WriteFile(P(name), bytes));
    }
    // What the archive holds, extracted: path -> bytes; "<ERROR>" when it cannot be read whole.
    std::map<std::string, std::string> Content()
    {
        testsupport::RemoveTree(P("out"));
        JarRun test = RunJar(" t " + Q(archive));
        JarRun x = RunJar(" e -y -o" + Q(P("out")) + " " + Q(archive) + " *");
        if (!Clean(test) || !Clean(x))
            return {{"<ERROR>", test.err + x.err}};
        std::map<std::string, std::string> files;
        std::vector<std::string> names;
        jar::ListDirectory(P("out"), names);
        for (const std::string& name : names)
            files[name] = Read("out/" + name);
        return files;
    }
};

// Two writers and a looping reader on one archive for a few seconds: every writer run that exited
// 0 has its file in the archive, every other one printed an ERROR, the reader never failed.
TEST_F(JarConcurrencyTest, WritersAndReadersSideBySideLoseNothing)
{
    ASSERT_TRUE(WriteFile(P("base.txt"), "base"));
    ASSERT_TRUE(Clean(RunJar(" a -y " + Q(archive) + " " + Q(P("base.txt")))));
#ifdef _WIN32
    const auto length = std::chrono::seconds(8);
#else
    const auto length = std::chrono::seconds(4);
#endif
    const auto end = std::chrono::steady_clock::now() + length;
    std::vector<std::string> stored[2];
    std::atomic<int> runs{0}, refused{0}, silentFailures{0}, reads{0}, badReads{0};
    std::string silent;
    auto writer = [&](int w) {
        for (int n = 0; std::chrono::steady_clock::now() < end; ++n) {
            std::string name = "w" + std::to_string(w) + "_" + std::to_string(n) + ".txt";
            if (!WriteFile(P(name), name))
                continue;
            JarRun run = RunJar((w == 0 ? " a -y " : " a -y -m4 ") + Q(archive) + " " + Q(P(name)));
            ++runs;
            if (Clean(run))
                stored[w].push_back(name);
            else if (Refused(run))
                ++refused;
            else if (++silentFailures == 1)
                silent = run.err;
        }
    };
    auto reader = [&] {
        for (int n = 0; std::chrono::steady_clock::now() < end; ++n) {
            JarRun run = RunJar((n % 2 ? " t " : " v ") + Q(archive));
            ++reads;
            if (!Clean(run))
                ++badReads;
        }
    };
    std::thread a(writer, 0), b(writer, 1), r(reader);
    a.join();
    b.join();
    r.join();
    std::printf("[ figures  ] %d writer runs (%zu and %zu stored, %d refused), %d reader runs (%d failed)\n", runs.load(),
                stored[0].size(), stored[1].size(), refused.load(), reads.load(), badReads.load());
    EXPECT_EQ(silentFailures, 0) << silent;
    EXPECT_EQ(badReads, 0);
    EXPECT_GT(stored[0].size() + stored[1].size(), 2u);
    ASSERT_TRUE(Clean(RunJar(" t " + Q(archive))));
    std::vector<std::string> names = StoredNames(RunJar(" v " + Q(archive)));
    for (const auto& list : stored)
        for (const std::string& name : list)
            EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name << " was reported stored";
}

// A writer that waits (here for its comment) holds the archive: another writer waits for it and
// both changes are kept; one that waits too long gives up naming the run that holds it.
TEST_F(JarConcurrencyTest, SecondWriterWaitsOrNamesTheRunHoldingTheArchive)
{
    ASSERT_TRUE(WriteFile(P("a.txt"), "a") && WriteFile(P("b.txt"), "b") && WriteFile(P("base.txt"), "base"));
    ASSERT_TRUE(Clean(RunJar(" a -y " + Q(archive) + " " + Q(P("base.txt")))));
#ifdef _WIN32
    WriteFile(P("comment.txt"), "typed late");
    std::string comment = P("comment.txt");
    ScopedEnvironment pause("JAR32_TEST_HOOK", "pause:read:2000");
    testsupport::JarProcess chapter(" ac -y -z" + Q(comment) + " " + Q(archive) + " " + Q(P("b.txt")));
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    pause.Restore();
#else
    // The comment comes through a pipe that stays empty until the other writer has run.
    std::string comment = P("comment.fifo");
    ASSERT_EQ(::mkfifo(comment.c_str(), 0600), 0);
    testsupport::JarProcess chapter(" ac -y -z" + Q(comment) + " " + Q(archive) + " " + Q(P("b.txt")));
    std::thread typist([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        WriteFile(comment, "typed late\n");
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
#endif
    JarRun add = RunJar(" a -y " + Q(archive) + " " + Q(P("a.txt")));
#ifndef _WIN32
    typist.join();
#endif
    JarRun first = chapter.Wait();
    ASSERT_TRUE(Clean(first)) << first.err;
    ASSERT_TRUE(Clean(add)) << add.err;
    std::vector<std::string> names = StoredNames(RunJar(" v " + Q(archive)));
    EXPECT_NE(std::find(names.begin(), names.end(), "a.txt"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "b.txt"), names.end());

    // Held by another run past the wait: refused, named, nothing changed.
    std::string before = ReadRaw(archive);
    jar::LockFile other;
    bool busy = false;
    ASSERT_TRUE(other.TryAcquire(archive + ".lck~", "jar32 process 4242, started today: jar32 ac", busy));
    ScopedEnvironment shortWait("JAR32_LOCK_WAIT", "300");
    for (const char* command : {" a -y ", " d -y ", " dc "}) {
        JarRun late = RunJar(command + Q(archive) + (std::string(command) == " dc " ? " 1" : " " + Q(P("a.txt"))));
        EXPECT_TRUE(Refused(late)) << command << late.err;
        EXPECT_NE(late.err.find("process 4242"), std::string::npos) << late.err;
    }
    EXPECT_EQ(ReadRaw(archive), before);
    // A reader neither waits nor takes the writer's unfinished archive for a stale one.
    ASSERT_TRUE(WriteFile(archive + ".tmp~", std::string(reinterpret_cast<const char*>(jar::kMagic), sizeof jar::kMagic)));
    EXPECT_TRUE(Clean(RunJar(" v " + Q(archive))));
    EXPECT_TRUE(Exists("t.j.tmp~")) << "a live writer's new archive was removed";
    other.Release();
    EXPECT_TRUE(Clean(RunJar(" v " + Q(archive))));
    EXPECT_FALSE(Exists("t.j.tmp~")) << "once nobody holds it, it is a leftover";
#ifdef _WIN32
    // Another program reading the archive without letting it be replaced (a virus scanner, say)
    // only delays a writer's last step.
    HANDLE reader = CreateFileA(archive.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    std::thread letGo([reader] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        CloseHandle(reader);
    });
    JarRun delayed = RunJar(" a -y " + Q(archive) + " " + Q(P("comment.txt")));
    letGo.join();
    EXPECT_TRUE(Clean(delayed)) << delayed.err;
#endif
}

// Every rename, removal and flushed write of a change that replaces a volume set, killed in turn:
// afterwards the archive reads whole as the old one or the new one, and nothing of ours is left.
TEST_F(JarConcurrencyTest, KilledVolumeSetReplacementLeavesOldOrNew)
{
    ASSERT_TRUE(WriteFile(P("f1.bin"), NoiseOf(150000, 1)) && WriteFile(P("f2.bin"), NoiseOf(150000, 2)) &&
                WriteFile(P("f3.bin"), NoiseOf(90000, 3)));
    ASSERT_TRUE(Clean(RunJar(" a -y -v100000 " + Q(archive) + " " + Q(P("f1.bin")) + " " + Q(P("f2.bin")))));
    const std::map<std::string, std::string> oldSet = Snapshot("t.j");
    ASSERT_EQ(oldSet.size(), 4u);
    const std::map<std::string, std::string> oldContent = Content();
    ASSERT_EQ(oldContent.size(), 2u);
    std::vector<std::string> changes = {
        " a -y -v250000 " + Q(archive) + " " + Q(P("f3.bin")), // fewer volumes, old ones go
        " d -y -r " + Q(archive) + " *f1.bin",                   // one file, old volumes go
    };
#ifndef _WIN32
    changes.push_back(" a -y -v60000 " + Q(archive) + " " + Q(P("f3.bin"))); // more volumes (a minute under Wine)
#endif
#ifdef _WIN32
    const std::vector<std::string> calls = {"step"};
#else
    if (std::system("strace -V >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "strace is needed to kill at a system call";
    const std::vector<std::string> calls = {"rename", "unlink", "fsync"};
#endif
    int kills = 0, sawOld = 0, sawNew = 0;
    for (const std::string& change : changes) {
        Restore("t.j", oldSet);
        ASSERT_TRUE(Clean(RunJar(change)));
        const std::map<std::string, std::string> newContent = Content();
        for (const std::string& call : calls) {
            for (int k = 1; k < 60; ++k) {
                Restore("t.j", oldSet);
#ifdef _WIN32
                ScopedEnvironment hook("JAR32_TEST_HOOK", "kill:" + std::to_string(k));
                bool killed = RunJar(change).exitCode == 137;
                hook.Restore();
#else
                std::string line = "strace -f -qq -o /dev/null -e trace=" + call + " -e inject=" + call +
                                   ":signal=KILL:when=" + std::to_string(k) + " '" + testsupport::JarPath() + "' '" +
                                   change + "' >/dev/null 2>&1";
                int status = std::system(line.c_str());
                bool killed = !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
#endif
                if (!killed)
                    break;
                ++kills;
                std::map<std::string, std::string> content = Content();
                bool isOld = content == oldContent, isNew = content == newContent;
                sawOld += isOld;
                sawNew += isNew;
                EXPECT_TRUE(isOld || isNew) << change << " killed at " << call << " " << k << ": "
                                            << (content.count("<ERROR>") ? content["<ERROR>"] : "a mix of both");
                for (const auto& [name, bytes] : Snapshot("t.j"))
                    EXPECT_NE(name.back(), '~') << name << " left after " << call << " " << k;
                if (HasFailure())
                    return;
            }
        }
    }
    std::printf("[ figures  ] %d kills: %d read as the old archive, %d as the new\n", kills, sawOld, sawNew);
    EXPECT_GT(kills, 10);
}

// A kill at every write and flush of an append (the test hook counts them): the archive then
// tests clean and lists every chapter exactly as before, or, killed after its trailer was
// flushed, holds the whole change. The next change goes after what a killed one left.
TEST_F(JarConcurrencyTest, KilledAppendListsAsBefore)
{
    ASSERT_TRUE(WriteFile(P("base.bin"), NoiseOf(600000, 1)) && WriteFile(P("small.txt"), "small") &&
                WriteFile(P("big1.bin"), NoiseOf(3 << 20, 2)) && WriteFile(P("big2.bin"), NoiseOf(3 << 20, 3)));
    ASSERT_TRUE(Clean(RunJar(" a -y " + Q(archive) + " " + Q(P("base.bin")) + " " + Q(P("small.txt")))));
    const std::string old = ReadRaw(archive);
    const std::string oldListing = ListingText(archive);
    const std::map<std::string, std::string> oldContent = Content();
    ASSERT_TRUE(WriteFile(P("small.txt"), "changed"));
    const std::vector<std::string> changes = {
        " ac -y " + Q(archive) + " " + Q(P("big1.bin")) + " " + Q(P("big2.bin")),
        " a -y " + Q(archive) + " " + Q(P("small.txt")),
        " d -y -r " + Q(archive) + " *small.txt",
    };
    int kills = 0, sawNew = 0;
    for (const std::string& change : changes) {
        ASSERT_TRUE(WriteFile(archive, old));
        ASSERT_TRUE(Clean(RunJar(change)));
        const std::string appended = ReadRaw(archive);
        ASSERT_EQ(appended.substr(0, old.size()), old) << change << " was not appended";
        const std::map<std::string, std::string> newContent = Content();
        std::string left; // what the last kill before the trailer left
        for (int k = 1; k < 40; ++k) {
            ASSERT_TRUE(WriteFile(archive, old));
            ScopedEnvironment hook("JAR32_TEST_HOOK", "kill:" + std::to_string(k));
            bool killed = RunJar(change).exitCode == 137;
            hook.Restore();
            if (!killed)
                break;
            ++kills;
            if (ListingText(archive) == oldListing) {
                EXPECT_EQ(Content(), oldContent) << change << " killed at step " << k;
                left = ReadRaw(archive);
            } else {
                ++sawNew;
                EXPECT_EQ(Content(), newContent) << change << " killed at step " << k << " reads as neither";
            }
            EXPECT_EQ(ReadRaw(archive).substr(0, old.size()), old) << change << " killed at step " << k;
            if (HasFailure())
                return;
        }
        ASSERT_GT(left.size(), old.size()) << change << ": no kill left part of an append behind";
        ASSERT_TRUE(WriteFile(archive, left));
        JarRun again = RunJar(change);
        ASSERT_TRUE(Clean(again)) << again.err;
        EXPECT_EQ(Content(), newContent);
        EXPECT_TRUE(Clean(RunJar(" t " + Q(archive))));
    }
    std::printf("[ figures  ] %d kills of appends, %d after the trailer\n", kills, sawNew);
    EXPECT_GT(sawNew, 0);
}

// An update changes the archive and nothing beside it: files that merely look like its volumes
// or its temporary files, its protection, the target of a link to it. A full archive refuses.
TEST_F(JarConcurrencyTest, UpdateKeepsWhatIsNotItsOwn)
{
    ASSERT_TRUE(WriteFile(P("x.txt"), "x") && WriteFile(P("big.bin"), NoiseOf(150000, 4)));
    // The user's own files named like our volumes and temporary volumes.
    std::string report = P("report");
    ASSERT_TRUE(WriteFile(report + "02", "mine") && WriteFile(report + ".part~", "mine too"));
    ASSERT_TRUE(Clean(RunJar(" a -y " + Q(report) + " " + Q(P("x.txt")))));
    EXPECT_TRUE(Refused(RunJar(" a -y -v100000 " + Q(report) + " " + Q(P("big.bin")))));
    EXPECT_EQ(Read("report02"), "mine");
    EXPECT_EQ(Read("report.part~"), "mine too");
    ASSERT_TRUE(jar::RemoveFile(report + "02"));
    ASSERT_TRUE(Clean(RunJar(" a -y -v100000 " + Q(report) + " " + Q(P("big.bin")))));
    ASSERT_TRUE(Clean(RunJar(" t " + Q(report))));
    EXPECT_EQ(Read("report.part~"), "mine too");
    ASSERT_TRUE(Clean(RunJar(" a -y " + Q(archive) + " " + Q(P("x.txt")))));
    ASSERT_TRUE(WriteFile(archive + "02", "mine"));
    ASSERT_TRUE(WriteFile(archive + ".copy~", "mine"));
    ASSERT_TRUE(jar::CreateDirectories(P("work")));
    ASSERT_TRUE(Clean(RunJar(" a -y -w" + Q(P("work")) + " " + Q(archive) + " " + Q(P("big.bin")))));
    EXPECT_EQ(Read("t.j02"), "mine");
    EXPECT_EQ(Read("t.j.copy~"), "mine");

    // A read-only archive is refused, as it is.
    std::string before = ReadRaw(archive);
#ifdef _WIN32
    SetFileAttributesA(archive.c_str(), FILE_ATTRIBUTE_READONLY);
#else
    ::chmod(archive.c_str(), 0444);
#endif
    for (const char* command : {" a -y ", " d -y "})
        EXPECT_TRUE(Refused(RunJar(command + Q(archive) + " " + Q(P("x.txt")))));
    EXPECT_EQ(ReadRaw(archive), before);
#ifdef _WIN32
    SetFileAttributesA(archive.c_str(), FILE_ATTRIBUTE_NORMAL);
#else
    // A private archive stays private; through a link the target changes and the link stays.
    ::chmod(archive.c_str(), 0600);
    ASSERT_TRUE(Clean(RunJar(" a -y " + Q(archive) + " " + Q(P("x.txt")))));
    struct stat st{};
    ASSERT_EQ(::stat(archive.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    std::string link = P("link.j");
    ASSERT_EQ(::symlink(archive.c_str(), link.c_str()), 0);
    ASSERT_TRUE(WriteFile(P("y.txt"), "y"));
    ASSERT_TRUE(Clean(RunJar(" a -y " + Q(link) + " " + Q(P("y.txt")))));
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    std::vector<std::string> names = StoredNames(RunJar(" v " + Q(archive)));
    EXPECT_NE(std::find(names.begin(), names.end(), "y.txt"), names.end());
    // Our temporary volume is never made through a link.
    ASSERT_TRUE(jar::RemoveFile(archive + "02"));
    ASSERT_EQ(::symlink(P("victim").c_str(), (archive + ".part~").c_str()), 0);
    ASSERT_TRUE(Clean(RunJar(" a -y -v100000 " + Q(archive) + " " + Q(P("big.bin")))));
    EXPECT_FALSE(Exists("victim"));
#endif

    // The last chapter number there can be: ac refuses, the archive stays as it was.
    std::string last = P("last.j");
    {
        jar::ArchiveIndex index;
        index.AddChapter(jar::kLastChapterNumber, jar::NowStamp());
        jar::ArchiveWriter writer;
        ASSERT_TRUE(writer.Begin(last, ""));
        ASSERT_TRUE(writer.Finish(index, jar::Options())) << writer.Error();
    }
    before = ReadRaw(last);
    EXPECT_TRUE(Refused(RunJar(" ac -y " + Q(last) + " " + Q(P("x.txt")))));
    EXPECT_EQ(ReadRaw(last), before);
    EXPECT_TRUE(Clean(RunJar(" lc " + Q(last))));
}
