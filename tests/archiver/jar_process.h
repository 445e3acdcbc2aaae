// Runs the real jar32 beside the test executable as a child process, with a raw argument text
// (exactly what Windows hands over), text for its console input, and its two outputs captured.
#pragma once

#include <string>

struct JarRun {
    std::string out;
    std::string err;
    int exitCode = -1; // -1 when it did not start or did not end by itself
    // Both outputs as one text, the way Torvex reads a listing.
    std::string merged() const { return out + err; }
};

JarRun RunJar(const std::string& arguments, const std::string& input = "");

// Starts jar32 without waiting; Kill or Interrupt it after `milliseconds`, then wait for it.
// Returns the captured standard error.
std::string RunJarAndStop(const std::string& arguments, int milliseconds, bool hardKill);

// POSIX only: the child may write no file larger than `bytes` (a stand-in for a full disk).
JarRun RunJarWithFileLimit(const std::string& arguments, long bytes);
// POSIX only: the child may map no more than `bytes` of memory.
JarRun RunJarWithMemoryLimit(const std::string& arguments, long bytes);

// The folder holding the test executable and jar32.
std::string ProgramFolder();
