// The document of the single-document application: modified flag, path, views.
#pragma once

#include "framework/command.h"

#include <cstdint>
#include <string>
#include <vector>

class ListView;

class Document : public CommandTarget {
public:
    ~Document() override = default;

    // A new, empty document (start-up without a file). The base clears the path and the flag.
    virtual bool OnNewDocument();
    // Opens a file; false keeps what the window showed. The base accepts every path.
    virtual bool OnOpenDocument(const std::string& path);
    // Asked before the document is replaced or the window closes; false cancels. Nothing in this
    // framework saves documents, so the base only answers true.
    virtual bool SaveModified() { return true; }

    bool IsModified() const { return modified_; }
    void SetModifiedFlag(bool modified = true) { modified_ = modified; }

    // Calls OnUpdate of every view but `sender`.
    void UpdateAllViews(ListView* sender, intptr_t hint = 0);
    void AddView(ListView* view);
    void RemoveView(ListView* view);
    ListView* FirstView() const { return views_.empty() ? nullptr : views_.front(); }

    const std::string& GetPathName() const { return pathName_; }
    // Records the document's file; with addToRecent it joins the recent-file list.
    void SetPathName(const std::string& path, bool addToRecent = true);

    // True (once) when the last OnOpenDocument answered yes without opening the file.
    bool TakeOpenIgnored()
    {
        bool ignored = openIgnored_;
        openIgnored_ = false;
        return ignored;
    }

protected:
    // For an OnOpenDocument that answers yes but opens nothing (the document is busy): the path
    // and the recent-file list then stay as they were.
    void IgnoreThisOpen() { openIgnored_ = true; }

private:
    bool openIgnored_ = false;
    bool modified_ = false;
    std::string pathName_;
    std::vector<ListView*> views_;
};
