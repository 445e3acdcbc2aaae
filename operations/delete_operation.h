// The delete bodies: run the archiver on a delete list or the Delete dialog's command, then list
// the archive again into a fresh catalogue that the interface thread shows.
#pragma once

#include "engine/jar_runner.h"
#include "operations/operation_job.h"

// DeleteFiles: writes job.listLines as the program folder's ~TorvexDelete, runs " d -r- -y" on
// it and lists the shown chapter again, keeping the shown folder when it still exists. The work
// is taken (the files list emptied) only when the archiver succeeded.
OperationOutcome DeleteFilesBody(OperationJob& job, JarRunner& runner, OperationReplies& replies);

// DeleteChapters: runs job.command and lists the archive again showing the root of its last
// chapter. job.listFile, when the dialog wrote one, is deleted.
OperationOutcome DeleteChaptersBody(OperationJob& job, JarRunner& runner, OperationReplies& replies);
