// jar32's readers fed mutated real archives, in this process (so the sanitizer build watches
// every read): bit flips, truncation, huge sizes, random bytes, and damaged indexes packed again
// with a right checksum so the decoder itself meets them. No crash, no hang, no exception, and
// every archive damaged where a reader depends on it ends in an ERROR line.
// JAR32_FUZZ_ITERATIONS and JAR32_FUZZ_SEED choose the run (scripts/fuzz.sh sets them).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <set>

#include "archiver/archive_source.h"
#include "archiver/commands.h"
#include "archiver/console_output.h"
#include "archiver/index_codec.h"
#include "packed_index.h"
#include "tests/support/byte_mutator.h"

namespace {
using testsupport::ByteMutator;

uint64_t FromEnvironment(const char* name, uint64_t fallback)
{
    const char* text = std::getenv(name);
    return text && *text ? std::strtoull(text, nullptr, 10) : fallback;
}

std::string ReadAll(const std::string& path)
{
    jar::DiskFile file;
    if (!file.Open(path, jar::DiskFile::ForReading))
        return {};
    std::string bytes(size_t(file.Size()), '\0');
    if (!bytes.empty() && !file.ReadAt(0, bytes.data(), bytes.size()))
        return {};
    return bytes;
}

void WriteAll(const std::string& path, const std::string& bytes)
{
    jar::DiskFile file;
    ASSERT_TRUE(file.Open(path, jar::DiskFile::ForWriting)) << path;
    ASSERT_TRUE(file.Write(bytes.data(), bytes.size()));
}

// The runs' own output would flood the test's: standard output is dropped, standard error goes
// to a file (a sanitizer report lands there too; scripts/fuzz.sh shows it).
class QuietOutput {
public:
    explicit QuietOutput(const std::string& errorFile)
    {
        fflush(stdout);
        fflush(stderr);
        savedOut_ = dup(1);
        savedErr_ = dup(2);
        int null = open("/dev/null", O_WRONLY);
        int err = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(null, 1);
        dup2(err, 2);
        close(null);
        close(err);
    }
    ~QuietOutput()
    {
        dup2(savedOut_, 1);
        dup2(savedErr_, 2);
        close(savedOut_);
        close(savedErr_);
    }

private:
    int savedOut_, savedErr_;
};

// ERROR lines one command printed; an exception out of the command is a failure of its own.
int RunJarCommand(const std::string& arguments, std::string& thrown)
{
    int before = jar::Console::ErrorCount();
    try {
        jar::RunArchiver(arguments);
    } catch (const std::bad_alloc&) {
        return 1; // the program's main turns this into an ERROR line
    } catch (const std::exception& e) {
        thrown = arguments + ": " + e.what();
    }
    return jar::Console::ErrorCount() - before;
}

std::set<std::string> Names(const std::string& folder)
{
    std::vector<std::string> names;
    jar::ListDirectory(folder, names);
    return {names.begin(), names.end()};
}

struct Seed {
    std::string bytes;
    std::string plainIndex;
    uint64_t indexOffset = 0;
    // The plain index of every state the archive grew through: damage at its end may read as one.
    std::set<std::string> states;
};

// The archive with its index replaced by `plain`, packed again with a right checksum.
std::string Repack(const Seed& seed, const std::string& plain)
{
    std::string packed = packedindex::Pack(plain);
    return packedindex::FirstVersionOf(seed.bytes.substr(0, size_t(seed.indexOffset))) +
           packedindex::IndexAndTrailer(packed, packedindex::TrailerFor(seed.indexOffset, packed, plain));
}
} // namespace

class ArchiveFuzz : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = "/tmp/jar32fuzz" + std::to_string(getpid());
        ASSERT_TRUE(jar::CreateDirectories(root + "/src/docs/deep"));
        ByteMutator random(7);
        WriteAll(root + "/src/notes.txt", std::string(3000, 'n') + "some words that deflate will shrink");
        WriteAll(root + "/src/noise.bin", random.RandomBytes(5000));
        WriteAll(root + "/src/empty.txt", "");
        WriteAll(root + "/src/docs/read me.txt", "read me\r\nsecond line\r\n");
        WriteAll(root + "/src/docs/deep/x", random.RandomBytes(300));
        WriteAll(root + "/comment.txt", "3 fixes: see notes\r\nCurrent chapter 9\r\n");
        std::string thrown;
        QuietOutput quiet(root + "/setup.txt");
        std::string a = root + "/a.j", b = root + "/b.j";
        ASSERT_EQ(RunJarCommand("a -y -r -m4 -jf- -z\"" + root + "/comment.txt\" \"" + a + "\" \"" + root + "/src/*\"", thrown), 0);
        WriteAll(root + "/src/notes.txt", "changed");
        ASSERT_EQ(RunJarCommand("ac -y -r -m1 -jf- -hz\"" + root + "/comment.txt\" \"" + a + "\" \"" + root + "/src/*\"", thrown), 0);
        ASSERT_EQ(RunJarCommand("a -y -jf- \"" + b + "\" \"" + root + "/src/noise.bin\"", thrown), 0);
        for (const std::string& path : {a, b}) {
            Seed seed;
            seed.bytes = ReadAll(path);
            jar::ArchiveSource source;
            jar::ArchiveIndex index;
            std::string error;
            ASSERT_TRUE(source.Open(path, error) && jar::LoadIndex(source, index, error)) << error;
            seed.plainIndex = jar::SerializeIndex(index);
            jar::Trailer trailer;
            ASSERT_TRUE(jar::ReadTrailer(
                reinterpret_cast<const unsigned char*>(seed.bytes.data() + seed.bytes.size() - jar::kTrailerSize), trailer));
            seed.indexOffset = trailer.indexOffset;
            for (uint64_t end = seed.bytes.size(); trailer.version == jar::kAppendedTrailerVersion;) {
                WriteAll(root + "/state.j", seed.bytes.substr(0, size_t(end)));
                jar::ArchiveSource state;
                jar::ArchiveIndex stateIndex;
                ASSERT_TRUE(state.Open(root + "/state.j", error) && jar::LoadIndex(state, stateIndex, error)) << error;
                seed.states.insert(jar::SerializeIndex(stateIndex));
                const auto* at = reinterpret_cast<const unsigned char*>(seed.bytes.data() + end);
                if (!jar::ReadTrailer(at - jar::kTrailerSize, trailer) ||
                    !jar::ReadAppendedTrailerStart(at - jar::kAppendedTrailerSize, trailer) ||
                    trailer.previousEnd <= jar::kHeaderSize)
                    break;
                end = trailer.previousEnd;
            }
            jar::RemoveFile(root + "/state.j");
            seeds.push_back(seed);
        }
    }
    void TearDown() override
    {
        if (!HasFailure())
            [[maybe_unused]] int ignored = std::system(("rm -rf '" + root + "'").c_str());
    }

    std::string root;
    std::vector<Seed> seeds;
};

TEST_F(ArchiveFuzz, MutatedArchivesFailCleanly)
{
    const uint64_t iterations = FromEnvironment("JAR32_FUZZ_ITERATIONS", 250);
    const uint64_t seedValue = FromEnvironment("JAR32_FUZZ_SEED", 20261207);
    ByteMutator mutate(seedValue);
    const std::string target = root + "/m.j", out = root + "/out", errors = root + "/stderr.txt";
    std::set<std::string> before = Names(root);
    before.insert({"m.j", "out", "stderr.txt"});
    uint64_t refused = 0, accepted = 0;
    std::string thrown, failure;
    {
        QuietOutput quiet(errors);
        for (uint64_t i = 0; i < iterations && thrown.empty() && failure.empty(); ++i) {
            const Seed& seed = seeds[mutate.Below(seeds.size())];
            std::string bytes = seed.bytes;
            // Raw damage must be found; a damaged index packed again may still be a valid one.
            bool repacked = mutate.Below(2) == 0;
            if (repacked) {
                std::string plain = seed.plainIndex;
                switch (mutate.Below(6)) {
                case 0: mutate.FlipBits(plain, 1 + int(mutate.Below(4))); break;
                case 1: mutate.InsertHugeVarint(plain); break;
                case 2: mutate.DeleteSpan(plain, 16); break;
                case 3: mutate.DuplicateSpan(plain, 64); break;
                case 4: mutate.Truncate(plain); break;
                default: mutate.Overwrite(plain, 8); break;
                }
                bytes = Repack(seed, plain);
            } else {
                size_t tail = bytes.size() - jar::kTrailerSize;
                switch (mutate.Below(9)) {
                case 0:
                case 1: mutate.FlipBitsIn(bytes, size_t(seed.indexOffset), bytes.size(), 1 + int(mutate.Below(3))); break;
                case 2: mutate.FlipBits(bytes, 1 + int(mutate.Below(3))); break;
                case 3: mutate.Truncate(bytes); break;
                case 4: mutate.Overwrite(bytes, 32); break;
                case 5: mutate.HugeField(bytes, tail + 8 + 8 * mutate.Below(3)); break;
                case 6: mutate.DeleteSpan(bytes, 64); break;
                case 7: mutate.DuplicateSpan(bytes, 64); break;
                default: {
                    std::string noise = mutate.RandomBytes(mutate.Below(200));
                    bytes = (mutate.Below(2) ? std::string(jar::kMagic, sizeof jar::kMagic) : std::string()) + noise;
                }
                }
            }
            if (bytes == seed.bytes)
                continue;
            WriteAll(target, bytes);
            int found = RunJarCommand("t \"" + target + "\"", thrown);
            int chapters = RunJarCommand("lc \"" + target + "\"", thrown), listing = RunJarCommand("v \"" + target + "\"", thrown);
            // lc reads the index another way (a piece at a time, keeping no files); it must see
            // every damage the whole read sees.
            if ((chapters > 0) != (listing > 0))
                failure = "iteration " + std::to_string(i) + ": lc and v disagree on the archive";
            found += chapters + listing;
            if (i % 8 == 0)
                RunJarCommand("x -y -o\"" + out + "\" \"" + target + "\"", thrown);
            (found > 0 ? refused : accepted)++;
            if (!repacked && found == 0) {
                // Unnoticed, the change must be one no reader depends on (reserved header bytes,
                // the padding bits of a deflate stream): the archive reads as it did, index and
                // all, and `t` has checked every block against the index's CRC-32. Damage to its
                // last trailer reads as a whole earlier state, as a change cut short does.
                jar::ArchiveSource source;
                jar::ArchiveIndex index;
                std::string error;
                if (!source.Open(target, error) || !jar::LoadIndex(source, index, error) ||
                    !(jar::SerializeIndex(index) == seed.plainIndex ||
                      (source.End() < bytes.size() && seed.states.count(jar::SerializeIndex(index)))))
                    failure = "iteration " + std::to_string(i) + ": damage went unnoticed";
            }
            std::set<std::string> now = Names(root);
            if (now != before && now.size() > before.size())
                failure = "iteration " + std::to_string(i) + ": a file appeared outside the target folder";
        }
    }
    EXPECT_EQ(thrown, "") << "seed " << seedValue;
    EXPECT_EQ(failure, "") << "seed " << seedValue;
    EXPECT_GT(refused, iterations / 4);
    std::printf("%llu mutated archives: %llu refused, %llu accepted (seed %llu)\n", (unsigned long long)iterations,
                (unsigned long long)refused, (unsigned long long)accepted, (unsigned long long)seedValue);
}

// The decoder alone, on damaged plain indexes: many more cases per second.
TEST_F(ArchiveFuzz, DecoderRefusesOrReadsEveryIndex)
{
    const uint64_t iterations = FromEnvironment("JAR32_FUZZ_ITERATIONS", 250) * 40;
    ByteMutator mutate(FromEnvironment("JAR32_FUZZ_SEED", 20261207) + 1);
    for (uint64_t i = 0; i < iterations; ++i) {
        std::string plain = seeds[mutate.Below(seeds.size())].plainIndex;
        for (size_t n = 1 + mutate.Below(3); n > 0; --n) {
            switch (mutate.Below(5)) {
            case 0: mutate.FlipBits(plain, 1); break;
            case 1: mutate.InsertHugeVarint(plain); break;
            case 2: mutate.DeleteSpan(plain, 8); break;
            case 3: mutate.DuplicateSpan(plain, 32); break;
            default: mutate.Overwrite(plain, 4); break;
            }
        }
        const Seed& seed = seeds[i % seeds.size()];
        jar::ArchiveIndex index;
        std::string error;
        bool whole = jar::DeserializeIndex(plain, index, &error, seed.indexOffset);
        // The piecewise reader agrees with it.
        std::string packed = packedindex::Pack(plain);
        jar::ArchiveIndex chapters;
        bool piecewise = jar::CheckIndexKeepingChapters(packedindex::ReaderOver(packed),
                                                        packedindex::TrailerFor(seed.indexOffset, packed, plain), chapters);
        ASSERT_EQ(piecewise, whole) << i << ": " << error;
        if (whole) {
            ASSERT_EQ(chapters.chapters.size(), index.chapters.size()) << i;
            ASSERT_EQ(chapters.comment, index.comment) << i;
        }
        if (whole) {
            for (const jar::StoredEntry& e : index.entries) {
                ASSERT_TRUE(e.path.size() >= 2 && e.path[0] == '\\') << i;
                ASSERT_LT(e.block, int64_t(index.blocks.size())) << i;
            }
        } else {
            ASSERT_FALSE(error.empty()) << i;
        }
    }
}
