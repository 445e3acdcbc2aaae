#include "operations/transfer_rules.h"

#include "framework/name_compare.h"
#include "engine/path_helpers.h"
#include "operations/view_records.h"

namespace {
constexpr const char* kTransferPrefix = "~TDrag";
}

std::vector<std::string> TransferNames(const std::vector<const ArchiveEntry*>& rows, bool archiveMode,
                                       const std::string& archiveFolder, const std::string& folder)
{
    std::vector<std::string> names;
    for (const ArchiveEntry* row : rows) {
        if (!row || row->Columns[ArchiveEntry::Name] == ". .")
            continue;
        if (!archiveMode) {
            names.push_back(row->Path);
            continue;
        }
        // The extraction puts each row where Partial Path from the shown folder puts it.
        size_t below = archiveFolder == "\\" ? 0 : archiveFolder.size();
        names.push_back(folder + (below < row->Path.size() ? row->Path.substr(below) : "\\" + LeafName(row->Path)));
    }
    return names;
}

std::string TransferFolderName(unsigned long processId)
{
    return kTransferPrefix + std::to_string(processId);
}

std::optional<unsigned long> TransferFolderProcessId(const std::string& name)
{
    return ProcessIdInName(name, kTransferPrefix, "");
}

bool OfferHolds(const ArchiveStamp& offered, const ArchiveStamp& now)
{
    return offered.exists && now.exists && SameNameIgnoringCase(offered.path, now.path) && offered.size == now.size &&
           offered.writeTime == now.writeTime;
}

bool PasteRenamesOnCollision(const std::vector<std::string>& names, const std::string& folder)
{
    if (names.empty())
        return false;
    for (const std::string& name : names) {
        std::string parent;
        if (!ParentPath(name, parent) || !SameNameIgnoringCase(parent, folder))
            return false;
    }
    return true;
}
