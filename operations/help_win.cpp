#include "operations/help.h"

#include "engine/path_helpers.h"
#include "framework/message_box.h"
#include "framework/wide_text.h"
#include "framework/registry_key.h"
#include "operations/file_url.h"
#include "operations/help_rules.h"

#include <ddeml.h>
#include <shellapi.h>
#include <shlwapi.h>

namespace {

const char* kNoBrowser = "No browser available";

HDDEDATA CALLBACK IgnoreDdeEvents(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

// A key's default value read with a length limit, as the browser's keys are read.
std::string DefaultValue(HKEY root, const std::string& path, size_t limit)
{
    std::string value = RegistryDefaultValue(root, path).value_or(std::string());
    if (value.size() > limit)
        value.resize(limit);
    return value;
}

// Owns a DDE client instance, its two string handles and the conversation.
class DdeClient {
public:
    DdeClient() { ok_ = DdeInitializeA(&instance_, IgnoreDdeEvents, APPCMD_CLIENTONLY, 0) == DMLERR_NO_ERROR; }
    ~DdeClient()
    {
        if (conversation_)
            DdeDisconnect(conversation_);
        if (service_)
            DdeFreeStringHandle(instance_, service_);
        if (topic_)
            DdeFreeStringHandle(instance_, topic_);
        if (ok_)
            DdeUninitialize(instance_);
    }
    DdeClient(const DdeClient&) = delete;
    DdeClient& operator=(const DdeClient&) = delete;

    bool Connect(const std::string& service, const std::string& topic)
    {
        if (!ok_)
            return false;
        service_ = DdeCreateStringHandleA(instance_, service.c_str(), CP_WINANSI);
        topic_ = DdeCreateStringHandleA(instance_, topic.c_str(), CP_WINANSI);
        conversation_ = DdeConnect(instance_, service_, topic_, nullptr);
        return conversation_ != nullptr;
    }
    bool Execute(const std::string& command)
    {
        HDDEDATA result = DdeClientTransaction((LPBYTE)command.c_str(), (DWORD)command.size() + 1, conversation_,
                                               nullptr, 0, XTYP_EXECUTE, 5000, nullptr);
        return result != nullptr;
    }

private:
    DWORD instance_ = 0;
    bool ok_ = false;
    HSZ service_ = nullptr;
    HSZ topic_ = nullptr;
    HCONV conversation_ = nullptr;
};

} // namespace

HelpDesk::HelpDesk(std::function<std::string()> programFolder, std::function<HWND()> owner)
    : programFolder_(std::move(programFolder)), owner_(std::move(owner))
{
}

void HelpDesk::ShowHelp(const std::string& anchor)
{
    std::string manual = ManualFileFor(programFolder_(), GetUserDefaultLangID());
    // A URL, not the bare path: a folder with a blank stays one argument and the anchor survives.
    std::string address = FileUrl(manual) + anchor;
    if (firstHelpRequest_) {
        firstHelpRequest_ = false;
        StartBrowser(manual, address);
        return;
    }
    switch (SendToRunningBrowser(address)) {
    case Dde::Sent:
    case Dde::NoBrowser:
        return;
    case Dde::Failed:
        StartBrowser(manual, address);
        return;
    }
}

void HelpDesk::StartBrowser(const std::string& manual, const std::string& address)
{
    if (GetFileAttributesW(FileSystemPath(manual).c_str()) == INVALID_FILE_ATTRIBUTES) {
        PromptUser("The manual " + manual + " cannot be found.", prompt::Ok | prompt::IconExclamation);
        return;
    }
    // The program that opens the manual's type of page, asked for its length first.
    std::wstring type = WideText("." + FileExtension(manual));
    DWORD length = 0;
    AssocQueryStringW(ASSOCF_NONE, ASSOCSTR_EXECUTABLE, type.c_str(), L"open", nullptr, &length);
    std::wstring program(length, L'\0');
    if (length == 0 || FAILED(AssocQueryStringW(ASSOCF_NONE, ASSOCSTR_EXECUTABLE, type.c_str(), L"open",
                                                program.data(), &length)))
        program.clear();
    program.resize(wcsnlen(program.c_str(), program.size()));
    if (program.empty()) {
        PromptUser(kNoBrowser);
        return;
    }
    HINSTANCE started = ShellExecuteW(owner_(), nullptr, program.c_str(), WideText(address).c_str(), nullptr, SW_SHOWNORMAL);
    if ((INT_PTR)started <= 32)
        PromptUser(kNoBrowser);
}

HelpDesk::Dde HelpDesk::SendToRunningBrowser(const std::string& address)
{
    std::string type = DefaultValue(HKEY_CLASSES_ROOT, ".htm", 500);
    RegistryKey typeKey;
    if (type.empty() || !typeKey.Open(HKEY_CLASSES_ROOT, type, KEY_READ)) {
        PromptUser(kNoBrowser);
        return Dde::NoBrowser;
    }
    const std::string ddeKey = type + "\\shell\\open\\ddeexec";
    RegistryKey dde;
    if (!dde.Open(HKEY_CLASSES_ROOT, ddeKey, KEY_READ))
        return Dde::Failed;
    DdeClient client;
    if (!client.Connect(DefaultValue(HKEY_CLASSES_ROOT, ddeKey + "\\Application", 80),
                        DefaultValue(HKEY_CLASSES_ROOT, ddeKey + "\\Topic", 80)))
        return Dde::Failed;
    std::string command = FillDdeCommand(DefaultValue(HKEY_CLASSES_ROOT, ddeKey, 340), address);
    return client.Execute(command) ? Dde::Sent : Dde::Failed;
}

