#include "operations/operation_bodies.h"

OperationBody OperationBodyFor(OperationKind kind)
{
    // One case per kind, each apart from the next so that bodies are added independently.
    switch (kind) {
    case OperationKind::AddFiles:
        return nullptr;

    case OperationKind::ExtractToCurrent:
        return nullptr;

    case OperationKind::ExtractFiles:
        return nullptr;

    case OperationKind::ExtractArchive:
        return nullptr;

    case OperationKind::TestArchive:
        return TestArchiveBody;

    case OperationKind::AddDropped:
        return nullptr;

    case OperationKind::DeleteFiles:
        return nullptr;

    case OperationKind::DeleteChapters:
        return nullptr;
    }
    return nullptr;
}
