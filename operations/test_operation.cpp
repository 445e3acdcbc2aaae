// Test: the archiver checks every stored file of an archive. Nothing changes, so nothing is
// listed again afterwards.
#include "engine/jar_commands.h"
#include "engine/torvex_doc.h"
#include "framework/message_box.h"
#include "operations/operation_bodies.h"
#include "ui/torvex_view.h"

void CTorvexView::OnTest()
{
    if (!GetTorvexDoc()->archiveMode) {
        if (List().GetSelectedCount() != 1) {
            PromptUser("You must select one archive");
            return;
        }
        const ArchiveEntry* entry = SingleSelectedEntry();
        if (!entry || !entry->IsArchiveFile()) {
            PromptUser("You must select an archive");
            return;
        }
    }
    StartOperation(OperationKind::TestArchive);
}

void TestArchiveBody(OperationContext& context)
{
    ArchiveCatalogue test;
    std::string path;
    if (context.document.archiveMode) {
        path = context.document.catalogue.ArchivePath;
    } else {
        // The selection is read again: the row must still be one ".j" file.
        const ArchiveEntry* entry = context.view.SingleSelectedEntry();
        if (!entry || !entry->IsArchiveFile())
            return;
        path = entry->Path;
    }
    test.ArchivePath = path;
    test.Command = TestArguments(path);
    if (context.document.RunJarConsole(test, SW_MINIMIZE))
        PromptUser("Everything is OK");
}
