// The switch text of an archiver add command, as the Add dialog builds it from its choices.
// The archive and the list file are appended by the add operation.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "dialogs/path_option.h"

// The Add dialog's choices that shape the command.
struct AddChoices {
    int action = 0;          // 0 Add, 1 Update, 2 Freshen, 3 Add chapter
    std::string archiveName;
    int compression = 0;     // 0 Best .. 3 Fast
    PathOption pathOption = PathOption::Partial;
    bool spanArchive = false;
    bool formatDisk = false;
    bool wipeDisk = false;
    std::string volumeSize = "AutoDetect";
    std::string pathInArchive;
    bool commentArchive = false;
    std::string archiveComment;
    bool commentChapter = false;
    std::string chapterComment;
};

// What the builder needs from the machine: the work-folder settings, the system temporary
// folder (ending in a separator) and whether a drive root is a fixed disk ("" is the current drive).
struct AddCommandEnvironment {
    int tempDir = 0;
    std::string tempEdit;
    std::string systemTemp;
    std::function<bool(const std::string& root)> isFixedDrive;
};

struct AddCommand {
    std::string commandLine;
    // A comment was asked for with an empty text: the archiver asks for it on its console.
    bool interactiveComment = false;
    // A comment file that could not be written; the command is then not to be run.
    std::string failedFile;
    // The comment files written for the command: removed once the archiver has read them.
    std::vector<std::string> commentFiles;
};

inline constexpr const char* kArchiveCommentFile = "ArchiveComment.txt";
inline constexpr const char* kChapterCommentFile = "ChapterComment.txt";
inline constexpr const char* kAutoDetectVolume = "AutoDetect";

// Builds the switches and writes the comment files into env.systemTemp. Callers refuse a
// volume size that is not VolumeSizeValid first; the builder then sends "-v0", never throws.
AddCommand BuildAddCommand(const AddChoices& choices, const AddCommandEnvironment& env);

// A volume size the archiver can take: "AutoDetect", or a number of thousands of bytes
// (at most 12 digits) optionally followed by text, as in "1457 Kb".
bool VolumeSizeValid(const std::string& volumeSize);
inline constexpr const char* kVolumeSizeMessage =
    "The volume size must be AutoDetect or a number of thousands of bytes (for example 1457 Kb)";

// Which spanning controls the Add dialog enables: the volume size with spanning on, format and
// wipe with spanning on an archive that is not on a fixed disk (else they are also unchecked).
struct SpanControls {
    bool volumeEnabled = false;
    bool diskOptionsEnabled = false;
};
SpanControls DecideSpanControls(bool spanArchive, bool fixedDrive);

// The directory inside the archive for a tree item, from the labels of the root ("\") down to
// the item: "\", "dir", "sub" gives \dir\sub; the root alone gives "\".
std::string PathInArchiveFromLabels(const std::vector<std::string>& labels);

// Whether the archive-tree should list the named archive: its name ends in ".j" (case matters).
bool NamesAnArchive(const std::string& archiveName);
