// The shell registration layout for each choice, the previous owner of ".j", and the uninstall
// key list.
#include "app/shell_registration.h"
#include "framework/message_box.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace shellreg;

namespace {

const std::string kClsid = "{6F0A91C4-2D7B-11D2-8E41-5A7C0D93B1E2}";
const std::string kFolder = "C:\\Program Files\\Torvex";

bool Writes(const RegistrationPlan& plan, const std::string& key)
{
    return std::any_of(plan.writes.begin(), plan.writes.end(), [&](const KeyWrite& w) { return w.key == key; });
}

bool Deletes(const RegistrationPlan& plan, const std::string& key)
{
    return std::find(plan.deletions.begin(), plan.deletions.end(), key) != plan.deletions.end();
}

} // namespace

TEST(ShellRegistrationLayout, EverythingOnWritesTheWholeTableInOrder)
{
    RegistrationPlan plan = PlanRegistration(true, true, true, kFolder, "OtherApp.Archive");
    std::vector<KeyWrite> expected = {
        {".j", "", "Torvex.Document"},
        {"Torvex.Document", "", "Torvex Document"},
        {"Torvex.Document\\DefaultIcon", "", kFolder + "\\torvex.exe,0"},
        {"Torvex.Document\\shell\\open\\command", "", "\"" + kFolder + "\\torvex.exe\" \"%1\""},
        {"CLSID\\" + kClsid, "", "Torvex Shell Extension"},
        {"CLSID\\" + kClsid + "\\InProcServer32", "", kFolder + "\\TorvexShExt.dll"},
        {"CLSID\\" + kClsid + "\\InProcServer32", "ThreadingModel", "Apartment"},
        {"Torvex.Document\\shellex\\DropHandler", "", kClsid},
        {"Torvex.Document\\shellex\\ContextMenuHandlers", "", "TorvexMenu"},
        {"Torvex.Document\\shellex\\ContextMenuHandlers\\TorvexMenu", "", kClsid},
        {"*\\shellex\\ContextMenuHandlers\\Torvex", "", kClsid},
        {"Directory\\shellex\\ContextMenuHandlers\\Torvex", "", kClsid},
    };
    EXPECT_EQ(plan.writes, expected);
    EXPECT_TRUE(plan.deletions.empty());
}

TEST(ShellRegistrationLayout, EachChoiceOwnsItsKeys)
{
    // Association off, extensions on: ".j" goes back to its previous owner, the handlers are
    // written, the class keys are not.
    RegistrationPlan noAssoc = PlanRegistration(false, true, true, kFolder, "OtherApp.Archive");
    ASSERT_FALSE(noAssoc.writes.empty());
    EXPECT_EQ(noAssoc.writes.front(), (KeyWrite{".j", "", "OtherApp.Archive"}));
    EXPECT_FALSE(Writes(noAssoc, "CLSID\\" + kClsid));
    EXPECT_FALSE(Writes(noAssoc, "Torvex.Document\\DefaultIcon"));
    EXPECT_TRUE(Writes(noAssoc, "Torvex.Document\\shellex\\ContextMenuHandlers\\TorvexMenu"));
    EXPECT_TRUE(Writes(noAssoc, "*\\shellex\\ContextMenuHandlers\\Torvex"));

    // No previous owner: ".j" is left with an empty default value, not deleted.
    RegistrationPlan noOwner = PlanRegistration(false, false, false, kFolder, "");
    EXPECT_EQ(noOwner.writes, (std::vector<KeyWrite>{{".j", "", ""}}));

    // Extraction off, compression on: the archive menu handler goes, the file and folder ones stay.
    RegistrationPlan noExtract = PlanRegistration(true, true, false, kFolder, "");
    EXPECT_EQ(noExtract.deletions, (std::vector<std::string>{"Torvex.Document\\shellex\\ContextMenuHandlers\\TorvexMenu"}));
    EXPECT_FALSE(Writes(noExtract, "Torvex.Document\\shellex\\ContextMenuHandlers"));
    EXPECT_TRUE(Writes(noExtract, "Directory\\shellex\\ContextMenuHandlers\\Torvex"));

    // Compression off: both add handlers go; the document's own handler stays.
    RegistrationPlan noCompress = PlanRegistration(true, false, true, kFolder, "");
    EXPECT_EQ(noCompress.deletions, (std::vector<std::string>{"*\\shellex\\ContextMenuHandlers\\Torvex",
                                                              "Directory\\shellex\\ContextMenuHandlers\\Torvex"}));
    EXPECT_FALSE(Deletes(noCompress, "Torvex.Document\\shellex\\ContextMenuHandlers\\TorvexMenu"));
}

TEST(ShellRegistrationLayout, PreviousOwnerSurvivesRepeatedRegistration)
{
    // First registration: the current owner is recorded.
    std::string recorded = PreviousAssociation("OtherApp.Archive", "");
    EXPECT_EQ(recorded, "OtherApp.Archive");
    // Second: ".j" already names Torvex, so the recorded owner is kept.
    EXPECT_EQ(PreviousAssociation("Torvex.Document", recorded), "OtherApp.Archive");
    // After the association was handed back, the owner is read from ".j" again.
    RegistrationPlan back = PlanRegistration(false, true, true, kFolder, recorded);
    EXPECT_EQ(PreviousAssociation(back.writes.front().data, recorded), "OtherApp.Archive");
    // No owner at all before Torvex: nothing to hand back.
    EXPECT_EQ(PreviousAssociation("", ""), "");
    EXPECT_EQ(PreviousAssociation("Torvex.Document", ""), "");
}

TEST(ShellRegistrationUninstall, DotJGoesBackOnlyWhenTorvexOwnsIt)
{
    EXPECT_EQ(UninstallDotJ("Torvex.Document", "OtherApp.Archive"), DotJAction::Restore);
    EXPECT_EQ(UninstallDotJ("Torvex.Document", ""), DotJAction::DeleteKey);
    EXPECT_EQ(UninstallDotJ("OtherApp.Archive", ""), DotJAction::LeaveAlone);
    EXPECT_EQ(UninstallDotJ("torvex.document", "X"), DotJAction::LeaveAlone);  // exact match only
}

TEST(ShellRegistrationUninstall, KeysChildrenFirstInTheFixedOrder)
{
    const std::string cls = "CLSID\\" + kClsid;
    std::vector<KeyPath> expected = {
        {Root::ClassesRoot, "Torvex.Document\\DefaultIcon"},
        {Root::ClassesRoot, "Torvex.Document\\shell\\open\\command"},
        {Root::ClassesRoot, "Torvex.Document\\shell\\open"},
        {Root::ClassesRoot, "Torvex.Document\\shell"},
        {Root::ClassesRoot, "Torvex.Document\\shellex\\ContextMenuHandlers\\TorvexMenu"},
        {Root::ClassesRoot, "Torvex.Document\\shellex\\ContextMenuHandlers"},
        {Root::ClassesRoot, "Torvex.Document\\shellex\\DropHandler"},
        {Root::ClassesRoot, "Torvex.Document\\shellex"},
        {Root::ClassesRoot, "Torvex.Document"},
        {Root::ClassesRoot, cls + "\\InProcServer32"},
        {Root::ClassesRoot, cls},
        {Root::CurrentUser, "Software\\Quendal\\Torvex\\Tip"},
        {Root::CurrentUser, "Software\\Quendal\\Torvex\\Settings"},
        {Root::CurrentUser, "Software\\Quendal\\Torvex\\Recent File List"},
        {Root::CurrentUser, "Software\\Quendal\\Torvex"},
        {Root::ClassesRoot, "*\\shellex\\ContextMenuHandlers\\Torvex"},
        {Root::ClassesRoot, "Directory\\shellex\\ContextMenuHandlers\\Torvex"},
    };
    EXPECT_EQ(UninstallKeys(), expected);

    // Every key a full registration writes is removed again.
    std::vector<KeyPath> keys = UninstallKeys();
    for (const KeyWrite& w : PlanRegistration(true, true, true, kFolder, "").writes) {
        if (w.key == ".j")
            continue;  // handled by the previous-owner rule
        EXPECT_NE(std::find(keys.begin(), keys.end(), KeyPath{Root::ClassesRoot, w.key}), keys.end()) << w.key;
    }
}

namespace {

// A registry with the three places registration meets: the machine's classes, the user's classes
// and the user's settings. HKEY_CLASSES_ROOT shows the user's classes over the machine's when the
// system merges them (Windows) and the machine's alone when it does not (Wine 8); its writes go to
// the machine's classes, or are refused as they are for a standard Windows user.
class FakeRegistry : public RegistryAccess {
public:
    using Values = std::map<std::string, std::string>;
    using Hive = std::map<std::string, Values>;
    bool merges = true;
    bool machineRefuses = true;
    bool userRefuses = false;
    Hive machine, userClasses, user;

    long WriteString(Root root, const std::string& key, const std::string& name, const std::string& data) override
    {
        if ((root == Root::ClassesRoot && machineRefuses) || (root == Root::UserClasses && userRefuses))
            return kAccessDenied;
        Place(root)[key][name] = data;
        return 0;
    }
    std::optional<std::string> ReadString(Root root, const std::string& key, const std::string& name) override
    {
        for (Hive* hive : Seen(root)) {
            auto k = hive->find(key);
            if (k != hive->end() && k->second.count(name))
                return k->second.at(name);
        }
        return std::nullopt;
    }
    bool KeyExists(Root root, const std::string& key) override
    {
        for (Hive* hive : Seen(root))
            if (hive->count(key))
                return true;
        return false;
    }
    long DeleteKey(Root root, const std::string& key) override
    {
        if ((root == Root::ClassesRoot && machineRefuses) || (root == Root::UserClasses && userRefuses))
            return kAccessDenied;
        return Place(root).erase(key) ? 0 : kNotFound;
    }
    bool IsNotFound(long code) override { return code == kNotFound; }
    std::string ErrorText(long code) override { return code == kAccessDenied ? "Access is denied" : "error"; }

private:
    static constexpr long kNotFound = 2, kAccessDenied = 5;
    Hive& Place(Root root) { return root == Root::ClassesRoot ? machine : root == Root::UserClasses ? userClasses : user; }
    std::vector<Hive*> Seen(Root root)
    {
        if (root == Root::ClassesRoot)
            return merges ? std::vector<Hive*>{&userClasses, &machine} : std::vector<Hive*>{&machine};
        return {&Place(root)};
    }
};

struct RegistrySystem {
    const char* name;
    bool merges, machineRefuses, userRefuses;
    bool registers;          // the association works for the user afterwards
    bool writesMachine;      // the machine's classes had to carry it
};

class ShellRegistrationOnSystem : public testing::TestWithParam<RegistrySystem> {
protected:
    void SetUp() override
    {
        registry.merges = GetParam().merges;
        registry.machineRefuses = GetParam().machineRefuses;
        registry.userRefuses = GetParam().userRefuses;
        SetPromptScript([this](const PromptRequest& r) { prompts.push_back(r.text); return prompt::IdOk; });
    }
    void TearDown() override { SetPromptScript(nullptr); }
    FakeRegistry registry;
    std::vector<std::string> prompts;
};

} // namespace

// Registration needs no elevation: it takes per user wherever the user's classes can be written,
// also reaches HKEY_CLASSES_ROOT where that view does not show them, and says nothing then;
// uninstalling hands ".j" back and leaves no Torvex key in any place.
TEST_P(ShellRegistrationOnSystem, RegistersPerUserAndRemovesEverything)
{
    const RegistrySystem& system = GetParam();
    registry.machine[".j"][""] = "OtherApp.Archive";  // the owner before Torvex, machine-wide
    RegistrationPlan plan = PlanRegistration(true, true, true, kFolder, ReadDotJOwner(registry));
    EXPECT_EQ(ApplyRegistration(registry, plan), system.registers);
    if (!system.registers) {
        ASSERT_EQ(prompts.size(), 1u);
        EXPECT_EQ(prompts[0], "The shell integration could not be registered.\n"
                              "HKEY_CURRENT_USER\\Software\\Classes\\.j: Access is denied.");
        return;
    }
    EXPECT_TRUE(prompts.empty()) << prompts.front();
    for (const KeyWrite& w : plan.writes) {
        EXPECT_EQ(registry.ReadString(Root::UserClasses, w.key, w.valueName), w.data) << w.key;
        EXPECT_EQ(registry.ReadString(Root::ClassesRoot, w.key, w.valueName), w.data) << w.key;
    }
    EXPECT_EQ(registry.machine.count("Torvex.Document") == 1, system.writesMachine);

    registry.user["Software\\Quendal\\Torvex\\Settings"]["ShExtPrevAssoc"] = "OtherApp.Archive";
    RemoveRegistration(registry);
    EXPECT_EQ(ReadDotJOwner(registry), "OtherApp.Archive");
    for (const KeyPath& key : UninstallKeys()) {
        EXPECT_FALSE(registry.KeyExists(key.root, key.path)) << key.path;
        if (key.root == Root::ClassesRoot) {
            EXPECT_FALSE(registry.KeyExists(Root::UserClasses, key.path)) << key.path;
        }
    }
    EXPECT_TRUE(prompts.empty()) << prompts.front();
}

INSTANTIATE_TEST_SUITE_P(
    Systems, ShellRegistrationOnSystem,
    testing::Values(RegistrySystem{"WindowsStandardUser", true, true, false, true, false},
                    RegistrySystem{"WindowsAdministrator", true, false, false, true, false},
                    RegistrySystem{"WineWithoutMerging", false, false, false, true, true},
                    RegistrySystem{"NothingWritable", true, true, true, false, false}),
    [](const testing::TestParamInfo<RegistrySystem>& info) { return std::string(info.param.name); });
