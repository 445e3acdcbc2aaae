// Every operation body, one file each (operations/<name>_operation.cpp), and the table that
// picks one by kind. A kind without a body yet runs nothing and ends normally.
#pragma once

#include "operations/operation_runner.h"

// The body of `kind`; nullptr when there is none.
OperationBody OperationBodyFor(OperationKind kind);

// Test the open archive, or the ".j" selected in the disk browser (test_operation.cpp).
void TestArchiveBody(OperationContext& context);
