#include "archiver/compressor.h"

#include <zlib.h>

#include <algorithm>
#include <new>

#include "archiver/file_system.h"
#include "archiver/index_codec.h"
#include "archiver/progress.h"

namespace jar {

int ZlibLevel(int level)
{
    static const int levels[] = {6, 1, 4, 6, 9};
    return levels[level >= 1 && level <= 4 ? level : 0];
}

void CompressBuffer(const std::string& input, int level, CompressResult& result)
{
    result.size = input.size();
    result.crc = Crc32(0, input.data(), input.size());
    result.ok = true;
    z_stream z{};
    if (input.size() >= 64 && deflateInit2(&z, ZlibLevel(level), Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) == Z_OK) {
        result.data.resize(deflateBound(&z, uLong(input.size())));
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
        z.next_out = reinterpret_cast<Bytef*>(result.data.data());
        z.avail_out = uInt(result.data.size());
        // In pieces, so a Cancel is seen inside a large file too.
        constexpr size_t kPiece = 4 << 20;
        int status = Z_OK;
        for (size_t left = input.size(); status == Z_OK;) {
            size_t piece = std::min(left, kPiece);
            left -= piece;
            z.avail_in += uInt(piece);
            status = deflate(&z, left == 0 ? Z_FINISH : Z_NO_FLUSH);
            if (left > 0 && StopAsked()) {
                deflateEnd(&z);
                result = CompressResult();
                result.error = StopMessage();
                return;
            }
        }
        size_t packed = result.data.size() - z.avail_out;
        deflateEnd(&z);
        if (status == Z_STREAM_END && packed < input.size()) {
            result.data.resize(packed);
            result.method = Method::Deflate;
            return;
        }
    }
    result.data = input;
    result.method = Method::Stored;
}

ParallelCompressor::ParallelCompressor(std::vector<CompressJob> jobs, int level, int threads)
    : jobs_(std::move(jobs)), results_(jobs_.size()), ready_(jobs_.size(), 0), level_(level)
{
    threads = std::max(1, threads);
    window_ = size_t(threads) * 4 + 4;
    for (int i = 0; i < threads; ++i)
        threads_.emplace_back([this] { Work(); });
}

ParallelCompressor::~ParallelCompressor()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    for (std::thread& t : threads_)
        t.join();
}

void ParallelCompressor::Work()
{
    std::string input;
    for (;;) {
        size_t job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            // Stay a bounded distance ahead of the writer: results wait in memory.
            changed_.wait(lock, [&] { return stop_ || nextJob_ >= jobs_.size() || nextJob_ < nextResult_ + window_; });
            if (stop_ || nextJob_ >= jobs_.size())
                return;
            job = nextJob_++;
        }
        CompressResult result;
        const CompressJob& j = jobs_[job];
        if (j.size > kInMemoryLimit) {
            result.streamed = true;
            result.ok = true;
        } else if (StopAsked()) {
            result.error = StopMessage();
        } else try {
            DiskFile file;
            input.clear();
            if (!file.Open(j.diskPath, DiskFile::ForReading)) {
                result.error = "can't open " + j.diskPath + ": " + LastErrorText();
            } else {
                input.resize(size_t(j.size) + 1);
                size_t got = 0;
                bool failed = false;
                for (;;) {
                    if (got == input.size())
                        input.resize(input.size() * 2 + 4096);
                    int64_t n = file.Read(input.data() + got, input.size() - got);
                    if (n < 0) {
                        failed = true;
                        break;
                    }
                    if (n == 0)
                        break;
                    got += size_t(n);
                    if (got > kInMemoryLimit * 2) {
                        failed = true;
                        break;
                    }
                }
                if (failed) {
                    result.error = "can't read " + j.diskPath + ": " + LastErrorText();
                } else {
                    input.resize(got);
                    CompressBuffer(input, level_, result);
                }
            }
        } catch (const std::bad_alloc&) {
            // Not enough memory for this file: it is named and left out, the run goes on.
            result = CompressResult();
            result.error = "not enough memory to compress " + j.diskPath;
            input = std::string();
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            results_[job] = std::move(result);
            ready_[job] = 1;
        }
        changed_.notify_all();
    }
}

bool ParallelCompressor::Next(CompressResult& result)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (nextResult_ >= jobs_.size())
        return false;
    changed_.wait(lock, [&] { return ready_[nextResult_] != 0; });
    result = std::move(results_[nextResult_]);
    results_[nextResult_] = CompressResult();
    ++nextResult_;
    lock.unlock();
    changed_.notify_all();
    return true;
}

} // namespace jar
