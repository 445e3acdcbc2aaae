#include "framework/document.h"

#include "framework/application.h"
#include "framework/list_view.h"

#include <algorithm>

bool Document::OnNewDocument()
{
    modified_ = false;
    pathName_.clear();
    return true;
}

bool Document::OnOpenDocument(const std::string&)
{
    modified_ = false;
    return true;
}

void Document::UpdateAllViews(ListView* sender, intptr_t hint)
{
    // A view may be added or removed by an update; walk a copy.
    std::vector<ListView*> views = views_;
    for (ListView* view : views)
        if (view != sender)
            view->OnUpdate(sender, hint);
}

void Document::AddView(ListView* view)
{
    if (std::find(views_.begin(), views_.end(), view) == views_.end())
        views_.push_back(view);
}

void Document::RemoveView(ListView* view)
{
    views_.erase(std::remove(views_.begin(), views_.end(), view), views_.end());
}

void Document::SetPathName(const std::string& path, bool addToRecent)
{
    pathName_ = path;
    if (addToRecent && Application::Current())
        Application::Current()->AddToRecentFileList(path);
}
