// The bodies that are one archiver run in its console: Test, an extraction with the Extract
// dialog's own command (Full Path, No Path), a whole archive chosen on disk.
#pragma once

#include "engine/jar_runner.h"
#include "operations/operation_job.h"

// Test: job.archivePath; "Everything is OK" when the archiver found nothing wrong.
OperationOutcome TestArchiveBody(OperationJob& job, JarRunner& runner);

// Nothing to extract: the selection or the files list was chosen and is empty.
bool NothingToExtract(const OperationJob& job);

// ExtractFiles without Partial Path: writes job.listLines as the program folder's ~TorvexExtract
// and runs the dialog's command on it (unless only the list file was asked for).
OperationOutcome ExtractDirectBody(OperationJob& job, JarRunner& runner);

// ExtractArchive: the dialog's command on every file of job.archivePath.
OperationOutcome ExtractArchiveBody(OperationJob& job, JarRunner& runner);
