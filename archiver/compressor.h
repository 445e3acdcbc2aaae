// Compresses files on several threads and hands the results back in order, so the archive is
// written in the order the files were given while both cores work.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "archiver/archive_index.h"

namespace jar {

struct CompressJob {
    std::string diskPath;
    uint64_t size = 0; // as seen when the file was chosen
};

struct CompressResult {
    bool ok = false;
    std::string error;
    // Files above the in-memory limit are left to the caller, which streams them (Stream).
    bool streamed = false;
    std::string data;
    uint64_t size = 0;
    uint32_t crc = 0;
    Method method = Method::Stored;
};

// zlib level of -m1..-m4.
int ZlibLevel(int level);

class ParallelCompressor {
public:
    ParallelCompressor(std::vector<CompressJob> jobs, int level, int threads);
    ~ParallelCompressor();
    // The result of the next job in order; false when all have been taken.
    bool Next(CompressResult& result);

    static constexpr uint64_t kInMemoryLimit = 16 << 20;

private:
    void Work();

    std::vector<CompressJob> jobs_;
    std::vector<CompressResult> results_;
    std::vector<char> ready_;
    int level_;
    size_t nextJob_ = 0;
    size_t nextResult_ = 0;
    size_t window_;
    bool stop_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::thread> threads_;
};

// Compresses one file's data in memory: stored when deflate does not make it smaller.
void CompressBuffer(const std::string& input, int level, CompressResult& result);

} // namespace jar
