#include "ui/main_frame_rules.h"

#include "engine/jar_contract.h"
#include "framework/dpi_scale.h"
#include "resources/resource.h"

#include <cctype>
#include <sstream>

const std::vector<unsigned>& DiskToolbarButtons()
{
    static const std::vector<unsigned> buttons{
        0, 0, ID_ADD, 0, ID_EXTRACT_ARCHIVE_TO, 0, ID_TEST, 0, ID_ADD_TO_FILES_LIST, ID_EDIT_FILES_LIST,
        0, ID_VIEW_OPEN_FILE, 0, ID_SAVE_VIEWED, 0, ID_LIST_VIEW, ID_DETAILS_VIEW, 0, ID_APP_ABOUT};
    return buttons;
}

const std::vector<unsigned>& ArchiveToolbarButtons()
{
    static const std::vector<unsigned> buttons{
        0, 0, 0, 0, ID_EXTRACT, ID_EXTRACT_TO, 0, ID_DELETE, 0, ID_TEST, 0, ID_ADD_TO_FILES_LIST,
        ID_EDIT_FILES_LIST, 0, ID_VIEW_OPEN_FILE, 0, ID_SAVE_VIEWED, 0, ID_REFRESH, ID_COMPARE_CHAPTERS, 0, ID_LIST_VIEW,
        ID_DETAILS_VIEW, 0, ID_APP_ABOUT};
    return buttons;
}

int ToolbarImageCount(const std::vector<unsigned>& buttons)
{
    int count = 0;
    for (unsigned id : buttons)
        count += id != 0;
    return count;
}

std::string ArchiveInfoText(const ArchiveCatalogue& catalogue, int chapter)
{
    std::string text = catalogue.LastChapter == 1 ? "Archive info: " : "Chapter info: ";
    // A chapter that is not in the catalogue shows empty totals rather than nothing at all.
    const ChapterInfo* info = catalogue.Chapter(chapter);
    text += info ? info->TotalBytes : std::string();
    text += " bytes in ";
    text += info ? info->TotalFiles : std::string();
    text += " file(s)  Whole archive ratio: ";
    text += catalogue.Ratio;
    return text;
}

std::string ChapterTipText(const ArchiveCatalogue& catalogue, int chapter)
{
    const ChapterInfo* info = catalogue.Chapter(chapter);
    if (!info)
        return std::string();
    std::string text = ChapterLabel(chapter);
    if (!info->FirstStamp.empty())
        text += ", created " + info->FirstStamp;
    if (!info->SecondStamp.empty() && info->SecondStamp != info->FirstStamp)
        text += ", modified " + info->SecondStamp;
    for (const std::string& line : info->ChapterComment)
        text += "\r\n" + line;
    return text;
}

std::string ArchiveCommentText(const ArchiveCatalogue& catalogue)
{
    std::string text;
    for (const std::string& line : catalogue.ArchiveComment)
        text += (text.empty() ? "" : "\r\n") + line;
    return text.empty() ? "This archive has no comment." : text;
}

int InfoPaneWidth(int measuredTextWidth, int dpi)
{
    // Measured in the bar's own font: the pane needs the text's width and room for its borders.
    return measuredTextWidth + dpi::Scale(12, dpi);
}

std::vector<std::string> DriveComboTexts(const char* strings, size_t length)
{
    std::vector<std::string> roots;
    size_t i = 0;
    while (i < length && strings[i] != '\0') {
        std::string root;
        while (i < length && strings[i] != '\0')
            root += strings[i++];
        ++i;
        root[0] = (char)std::toupper((unsigned char)root[0]);
        roots.push_back(root);
    }
    return roots;
}

DropAction DecideDrop(unsigned count, const std::string& firstName)
{
    if (count == 0)
        return DropAction::Nothing;
    if (count == 1 && jarcontract::IsArchiveName(firstName))
        return DropAction::OpenArchive;
    return DropAction::AddFiles;
}

int FindMenuText(const std::vector<std::string>& barTexts, const std::string& text)
{
    for (size_t i = 0; i < barTexts.size(); ++i)
        if (barTexts[i] == text)
            return (int)i;
    return -1;
}

bool TipItemMissing(const std::string& firstHelpItemText, const std::string& tipItemText)
{
    return firstHelpItemText != tipItemText;
}

std::string FramePlacementText(const FramePlacement& p)
{
    return std::to_string(p.left) + " " + std::to_string(p.top) + " " + std::to_string(p.right) + " " +
           std::to_string(p.bottom) + " " + (p.maximized ? "1" : "0");
}

std::optional<FramePlacement> ParseFramePlacement(const std::string& text)
{
    std::istringstream in(text);
    FramePlacement p;
    int maximized = -1;
    std::string rest;
    if (!(in >> p.left >> p.top >> p.right >> p.bottom >> maximized) || (in >> rest))
        return std::nullopt;
    if (maximized != 0 && maximized != 1)
        return std::nullopt;
    if (p.right <= p.left || p.bottom <= p.top)
        return std::nullopt;
    p.maximized = maximized == 1;
    return p;
}

int FrameStartShowCommand(int startedWith, bool rememberedMaximized)
{
    // The platform's SW_ values.
    enum { Normal = 1, Minimized = 2, Maximized = 3, Minimize = 6, MinNoActive = 7, ForceMinimize = 11 };
    switch (startedWith) {
    case Minimized:
    case Minimize:
    case ForceMinimize:
        return Minimized;
    case MinNoActive:
        return MinNoActive;
    case Maximized:
        return Maximized;
    default:
        return rememberedMaximized ? Maximized : Normal;
    }
}
