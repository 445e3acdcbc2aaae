// The shell registration layout for each choice, the previous owner of ".j", and the uninstall
// key list.
#include "app/shell_registration.h"

#include <gtest/gtest.h>

#include <algorithm>

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
