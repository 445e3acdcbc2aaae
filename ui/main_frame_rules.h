// What the main frame decides, apart from its windows: toolbar button sets, status and combo
// texts, the drop decision, the combo height rule and the Help menu's tip item.
#pragma once

#include "engine/archive_catalogue.h"

#include <optional>
#include <string>
#include <vector>

// Button ids of the two toolbar sets, 0 for a separator. Position 0 (both sets) and 2 (archive)
// are the places of the drive and chapter combos.
// The two button sets: the disk browser's, and the archive's with the chapter combo.
enum class ToolbarMode { Disk, Archive };

const std::vector<unsigned>& DiskToolbarButtons();
const std::vector<unsigned>& ArchiveToolbarButtons();
// Images a set's bitmap must hold: one per button that is not a separator.
int ToolbarImageCount(const std::vector<unsigned>& buttons);

// "Archive info: " for a one-chapter archive, else "Chapter info: ", then the chapter's totals
// and the archive's ratio.
std::string ArchiveInfoText(const ArchiveCatalogue& catalogue, int chapter);
// The chapter box's tool tip: "Chapter n, created ..., modified ..." and the comment typed for
// that chapter below it; empty for a chapter the catalogue lacks.
std::string ChapterTipText(const ArchiveCatalogue& catalogue, int chapter);
// What File > Archive Comment shows: the archive's comment, or a line saying it has none.
std::string ArchiveCommentText(const ArchiveCatalogue& catalogue);
// Width of the status pane for a text measured in the status bar's own font, in a window at `dpi`.
int InfoPaneWidth(int measuredTextWidth, int dpi = 96);

// The drive roots of a list of zero-terminated strings ending with an empty one, first
// letter upper-cased ("C:\").
std::vector<std::string> DriveComboTexts(const char* logicalDriveStrings, size_t length);

enum class DropAction { Nothing, OpenArchive, AddFiles };
// One file whose name ends in ".j" opens as the archive; anything else is added.
DropAction DecideDrop(unsigned count, const std::string& firstName);

// Index of the menu-bar entry whose text is exactly `text`; -1 when none.
int FindMenuText(const std::vector<std::string>& barTexts, const std::string& text);
// The tip item goes on top of the Help menu unless it is already there.
bool TipItemMissing(const std::string& firstHelpItemText, const std::string& tipItemText);

// The main window's place between runs: its normal (restored) rectangle and whether it is
// maximised. Stored as "left top right bottom maximised", e.g. "40 30 840 630 0".
struct FramePlacement {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool maximized = false;
};
std::string FramePlacementText(const FramePlacement& placement);
// Nothing for an empty, malformed or empty-area text (the window then shows as at a first start).
std::optional<FramePlacement> ParseFramePlacement(const std::string& text);

// How the main window first shows (a platform SW_ value): minimised or maximised when Torvex was
// started so (a shortcut's "Run" choice), otherwise maximised or normal as the last run left it.
// `startedWith` is the start-up show command, or -1 when none was given.
int FrameStartShowCommand(int startedWith, bool rememberedMaximized);
