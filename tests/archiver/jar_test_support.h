// A scratch folder per test, files in it, and the archive listings read back through Torvex's
// own parsers.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archiver/file_system.h"
#include "engine/archive_catalogue.h"
#include "engine/jar_contract.h"
#include "tests/support/file_tree.h"
#include "tests/support/jar_runner.h"

using testsupport::JarRun;
using testsupport::JarRunOptions;
using testsupport::RemoveTree;
using testsupport::RunJar;
using testsupport::WithFileLimit;
using testsupport::WithInput;
using testsupport::WithMemoryLimit;

class JarTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A path below the scratch folder; '/' in `relative` becomes the platform's separator.
    std::string P(const std::string& relative) const;
    static std::string Q(const std::string& text) { return "\"" + text + "\""; }
    void Write(const std::string& relative, const std::string& content, int64_t modified = 0);
    std::string Read(const std::string& relative) const;
    bool Exists(const std::string& relative) const;
    // A file in the system's list-file form: one line each, CR LF.
    std::string WriteList(const std::string& relative, const std::vector<std::string>& lines);
    std::string ReadRaw(const std::string& path) const;

    // What every chapter lists, as printed: lc, then v of all chapters (every version once).
    static std::string ListingText(const std::string& archive);
    // lc and v -jbN through the parsers; the test fails on any reported failure.
    ArchiveCatalogue List(const std::string& archive, int chapter = -1);
    // The entries of a parsed chapter by archive path (directories implied by the parser included).
    static std::vector<const ArchiveEntry*> Entries(const ArchiveCatalogue& catalogue, int chapter);
    static const ArchiveEntry* Find(const ArchiveCatalogue& catalogue, int chapter, const std::string& path);

    std::string root;
    std::string archive;
};

// An environment variable set for the runs started while it lives (they inherit it).
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value);
    ~ScopedEnvironment() { Restore(); }
    void Restore();

private:
    const char* name_;
    bool set_ = true;
};

// The records of a progress channel; a line not in the contract's form fails the test.
std::vector<jarcontract::ProgressRecord> RecordsOf(const std::string& text);

// Bytes deflate cannot shrink, the same for the same seed.
std::string NoiseOf(size_t size, uint32_t seed);

// Stamps for tests: a fixed second, in the archiver's 100 ns ticks.
int64_t StampOf(int year, int month, int day, int hour, int minute, int second);
