// Every operation body, one file each (operations/<name>_operation.cpp), and the table that
// picks one by kind. A kind without a body yet runs nothing and ends normally.
#pragma once

#include "operations/operation_runner.h"

// The body of `kind`; nullptr when there is none.
OperationBody OperationBodyFor(OperationKind kind);

// Extract (extract_commands.cpp): the selection into the shown folder; with the Extract dialog's
// options (argument: restore Partial Path afterwards); a whole archive chosen on disk.
void ExtractToCurrentBody(OperationContext& context);
void ExtractFilesBody(OperationContext& context);
void ExtractArchiveBody(OperationContext& context);

// Test the open archive, or the ".j" selected in the disk browser (test_operation.cpp).
void TestArchiveBody(OperationContext& context);

// Add (add_commands_win.cpp): the WorkSet through the Add dialog's command; dropped files, with
// the open archive listed again afterwards.
void AddFilesBody(OperationContext& context);
void AddDroppedBody(OperationContext& context);

// Delete (delete_commands_win.cpp): the WorkSet from the last chapter (the Del key); the Delete
// dialog's command (files, files in all chapters, or chapters).
void DeleteFilesBody(OperationContext& context);
void DeleteChaptersBody(OperationContext& context);
