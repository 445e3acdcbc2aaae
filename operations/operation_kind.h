// Which body an operation runs.
#pragma once

#include <cstdint>

enum class OperationKind : uint32_t {
    AddFiles,          // the gathered files through the Add dialog's command
    ExtractToCurrent,  // the selection into the disk browser's current folder
    ExtractFiles,      // with the Extract dialog's options
    ExtractArchive,    // a whole archive chosen in the disk browser
    TestArchive,       // the open archive, or the ".j" selected in the disk browser
    AddDropped,        // files dropped from Explorer
    DeleteFiles,       // files from the archive
    DeleteChapters,    // the Delete dialog's command: files, files in all chapters, or chapters
    RestoreVersion,    // one version of a file where Extract would put it, asking before replacing
    CompareChapters,   // lists two chapters and compares them for the main list
    ExtractForTransfer,  // dragged or copied rows into their per-drag folder, when a target takes them
};
