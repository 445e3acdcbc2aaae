#include "operations/operation_job.h"

std::unique_ptr<ArchiveRelisting> RelistArchive(JarRunner& runner, const std::string& archivePath, int chapter,
                                                const std::string& folder)
{
    auto listed = std::make_unique<ArchiveCatalogue>();
    listed->ArchivePath = archivePath;
    if (!runner.ListArchive(*listed, chapter))
        return nullptr;
    int shown = chapter > 0 && listed->Chapter(chapter) ? chapter : listed->LastChapter;
    auto relisting = std::make_unique<ArchiveRelisting>();
    relisting->shownChapter = shown;
    relisting->archiveFolder = listed->FolderOrRoot(shown, folder);
    relisting->catalogue = std::move(listed);
    return relisting;
}
