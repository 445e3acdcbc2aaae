// Which body an operation runs, and what the worker hands that body. The values are fixed: the
// command handlers start operations by number and the bodies are looked up by it.
#pragma once

#include <cstdint>

enum class OperationKind : uint32_t {
    AddFiles = 0,         // the gathered files through the Add dialog's command
    ExtractToCurrent = 1, // the selection into the disk browser's current folder
    ExtractFiles = 2,     // with the Extract dialog's options; argument: restore Partial Path afterwards
    ExtractArchive = 3,   // a whole archive chosen in the disk browser
    TestArchive = 4,      // the open archive, or the ".j" selected in the disk browser
    AddDropped = 5,       // files dropped from Explorer
    DeleteFiles = 6,      // files from the archive
    DeleteChapters = 7,   // whole chapters
};

// Where a body's argument comes from.
enum class BodyArgument { None, RequestArgument, ViewWindow };

inline BodyArgument BodyArgumentFor(OperationKind kind)
{
    switch (kind) {
    case OperationKind::ExtractFiles:
        return BodyArgument::RequestArgument;
    case OperationKind::AddDropped:
    case OperationKind::DeleteFiles:
    case OperationKind::DeleteChapters:
        return BodyArgument::ViewWindow;
    default:
        return BodyArgument::None;
    }
}
