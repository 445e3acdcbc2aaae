// The extract operation's host without a window: the rows of one archive folder, a selection
// and a files list over a catalogue listed by our own jar32.exe. Shared by the extract operation
// tests and the operations benchmark.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "dialogs/extract_dialog.h"
#include "engine/jar_runner_win.h"
#include "operations/extract_operation.h"
#include "operations/extract_rules.h"

namespace viewtest {

class ExtractTestHost : public ExtractHost {
public:
    ExtractDialog dialog;
    WinJarSession session;
    ArchiveCatalogue catalogue;
    std::string archiveFolder = "\\";
    std::string diskFolder;
    std::string programFolder;
    std::vector<std::string> selected;  // names of selected rows
    EntryList filesList;
    EntryList workSet;
    int chapter = 0;
    int jarRuns = 0;
    double jarSeconds = 0;  // spent in the archiver's runs

    // Lists the archive's last chapter with jar32.exe from `jarFolder`; `folder` is the disk,
    // program and working folder. False when a listing failed.
    bool Open(const std::string& archive, const std::string& folder, const std::string& jarFolder)
    {
        session.jarFolder = session.programFolder = jarFolder;
        session.workingFolder = diskFolder = programFolder = folder;
        catalogue.ArchivePath = archive;
        if (!session.ListChapters(catalogue) || !session.ListChapter(catalogue, catalogue.LastChapter))
            return false;
        dialog.currentChapter = chapter = catalogue.LastChapter;
        return true;
    }

    ExtractDialog& Dialog() override { return dialog; }
    EntryList& WorkSet() override { return workSet; }
    void CollectFilesList() override
    {
        workSet.Clear();
        for (const auto& e : filesList)
            workSet.Add(*e);
    }
    void CollectForExtract(int what) override
    {
        if (what == extractopt::FilesList)
            return;
        workSet.Clear();
        filesList.Clear();
        const EntryList* rows = ShownDirectories()->Find(archiveFolder);
        for (const auto& e : *rows) {
            bool chosen = what == extractopt::AllFiles;
            for (const std::string& name : selected)
                chosen = chosen || e->Columns[ArchiveEntry::Name] == name;
            if (chosen) {
                ArchiveEntry& copy = workSet.Add(*e);
                copy.Columns[ArchiveEntry::Source] = archiveFolder;
            }
        }
    }
    void ClearWorkSet() override
    {
        workSet.Clear();
        filesList.Clear();
    }
    int SelectedRowCount() override { return (int)selected.size(); }
    std::string DiskFolder() override { return diskFolder; }
    std::string ProgramFolder() override { return programFolder; }
    std::string ArchivePath() override { return catalogue.ArchivePath; }
    const DirectoryMap* ShownDirectories() override { return &catalogue.Chapter(chapter)->Directories; }
    int ShownChapter() override { return chapter; }
    bool RunJarConsole(ArchiveCatalogue& run, int showState) override
    {
        ++jarRuns;
        auto start = std::chrono::steady_clock::now();
        bool ok = session.RunJarConsole(run, showState);
        jarSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return ok;
    }
};

} // namespace viewtest
