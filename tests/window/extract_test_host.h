// The extract bodies without a window: the rows of one archive folder, a selection and a files
// list over a catalogue listed by our own jar32.exe, turned into a job as the view's commands do
// and run by the bodies the worker runs. Shared by the extract operation tests and the
// operations benchmark.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "dialogs/extract_dialog.h"
#include "engine/jar_runner_win.h"
#include "engine/list_file_folder.h"
#include "operations/console_bodies.h"
#include "operations/extract_operation.h"
#include "operations/extract_rules.h"

namespace viewtest {

// The real runner, counting its console runs and the time they take.
class CountingRunner : public WinJarRunner {
public:
    int runs = 0;
    double seconds = 0;
    bool RunConsole(const std::string& arguments, ConsoleShow show) override
    {
        ++runs;
        auto start = std::chrono::steady_clock::now();
        bool ok = WinJarRunner::RunConsole(arguments, show);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return ok;
    }
};

class ExtractTestHost {
public:
    ExtractDialog dialog;
    CountingRunner session;
    ArchiveCatalogue catalogue;
    std::string archiveFolder = "\\";
    std::string diskFolder;
    std::string programFolder;
    std::vector<std::string> selected;  // names of selected rows
    EntryList filesList;
    int chapter = 0;

    // Lists the archive's last chapter with jar32.exe from `jarFolder`; `folder` is the disk,
    // program and working folder. False when a listing failed.
    bool Open(const std::string& archive, const std::string& folder, const std::string& jarFolder)
    {
        session.jarFolder = session.programFolder = jarFolder;
        session.workingFolder = diskFolder = programFolder = folder;
        catalogue.ArchivePath = archive;
        if (!session.ListArchive(catalogue))
            return false;
        dialog.currentChapter = chapter = catalogue.LastChapter;
        return true;
    }
    std::string ArchivePath() const { return catalogue.ArchivePath; }
    int JarRuns() const { return session.runs; }

    // Extract to... with the dialog as it stands; `restore` as the command decided it. False
    // when the user cancelled at the chapters' notice.
    bool ExtractFiles(bool restore)
    {
        OperationJob job = Job(OperationKind::ExtractFiles, dialog.extractWhat);
        job.restorePartialPath = restore;
        if (!ApplyChapterScope(job, dialog, chapter, archiveFolder))
            return false;
        Finish(job, job.extract.pathOption == PathOption::Partial ? ExtractStagedBody(job, session)
                                                                      : ExtractDirectBody(job, session));
        return true;
    }
    // The staging route of Extract to... with these choices.
    void ExtractThroughTemp(const std::string& destination, bool overwrite, int updateMode, int updateCriterion,
                            bool extractChapters, int chapterFrom)
    {
        OperationJob job = Job(OperationKind::ExtractFiles, dialog.extractWhat);
        Finish(job, ::ExtractThroughTemp(job, session, destination, overwrite, updateMode, updateCriterion,
                                         extractChapters, chapterFrom));
    }
    void ExtractToCurrent()
    {
        OperationJob job = Job(OperationKind::ExtractToCurrent, extractopt::SelectedFiles);
        job.extract.listFileOnly = false;
        job.extract.currentChapter = chapter;
        Finish(job, ExtractToCurrentBody(job, session));
    }
    void ExtractArchive(const std::string& archivePath)
    {
        OperationJob job = Job(OperationKind::ExtractArchive, extractopt::AllFiles);
        job.archivePath = archivePath;
        Finish(job, ExtractArchiveBody(job, session));
    }

private:
    // What the view's command gathers: the chosen rows (with the shown folder as their source)
    // or the files list, their list lines, the dialog's result and the consoles.
    OperationJob Job(OperationKind kind, int extractWhat)
    {
        OperationJob job;
        job.kind = kind;
        job.archivePath = catalogue.ArchivePath;
        job.archiveMode = true;
        job.shownChapter = chapter;
        job.archiveFolder = archiveFolder;
        job.diskFolder = diskFolder;
        job.folders.programFolder = programFolder;
        job.folders.listFolder = ListFileFolder(programFolder);
        job.extract = ExtractRunOptionsFrom(dialog);
        job.extract.extractWhat = extractWhat;
        const DirectoryMap& directories = catalogue.Chapter(chapter)->Directories;
        if (extractWhat == extractopt::FilesList) {
            for (const auto& e : filesList)
                job.work.Add(*e);
        } else {
            filesList.Clear();
            for (const auto& e : *directories.Find(archiveFolder)) {
                bool chosen = extractWhat == extractopt::AllFiles;
                for (const std::string& name : selected)
                    chosen = chosen || e->Columns[ArchiveEntry::Name] == name;
                if (chosen)
                    job.work.Add(*e).Columns[ArchiveEntry::Source] = archiveFolder;
            }
        }
        job.listLines = ExtractListLines(job.work, directories);
        SetExtractConsoles(job);
        return job;
    }
    // What the interface thread does when the operation is done.
    void Finish(const OperationJob& job, const OperationOutcome& outcome)
    {
        if (outcome.filesListUsed)
            filesList.Clear();
        AfterExtractRun(dialog, job);
    }
};

} // namespace viewtest
