#include "operations/operation_bodies.h"

OperationBody OperationBodyFor(OperationKind kind)
{
    // One case per kind, each apart from the next so that bodies are added independently.
    switch (kind) {
    case OperationKind::AddFiles:
        return AddFilesBody;

    case OperationKind::ExtractToCurrent:
        return ExtractToCurrentBody;

    case OperationKind::ExtractFiles:
        return ExtractFilesBody;

    case OperationKind::ExtractArchive:
        return ExtractArchiveBody;

    case OperationKind::TestArchive:
        return TestArchiveBody;

    case OperationKind::AddDropped:
        return AddDroppedBody;

    case OperationKind::DeleteFiles:
        return DeleteFilesBody;

    case OperationKind::DeleteChapters:
        return DeleteChaptersBody;
    }
    return nullptr;
}
