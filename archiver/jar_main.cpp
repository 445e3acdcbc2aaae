// jar32: the console archiver Torvex drives.
#include <exception>
#include <new>

#include "archiver/commands.h"
#include "archiver/console_output.h"
#include "archiver/file_system.h"

namespace {
// Whatever ends the run early still ends it with one ERROR line and a failure code: Torvex
// reads both.
int Fail(const char* what, const char* detail = "")
{
    try {
        jar::Console::Error(std::string(what) + detail);
        jar::Console::Flush();
    } catch (...) {
        jar::WriteError("ERROR: out of memory\n");
    }
    return 1;
}
} // namespace

int main(int argc, char** argv)
{
    try {
        jar::SetUpConsole();
        return jar::RunArchiver(jar::RawArguments(argc, argv));
    } catch (const std::bad_alloc&) {
        return Fail("out of memory");
    } catch (const std::exception& e) {
        return Fail("unexpected failure: ", e.what());
    } catch (...) {
        return Fail("unexpected failure");
    }
}
