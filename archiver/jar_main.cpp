// jar32: the console archiver Torvex drives.
#include "archiver/commands.h"
#include "archiver/file_system.h"

int main(int argc, char** argv)
{
    jar::SetUpConsole();
    return jar::RunArchiver(jar::RawArguments(argc, argv));
}
