// The preferences command without its dialog: what fills it and what OK
// writes, and in which order the messages folder question comes.
#include "core_fixture.h"

#include "manager/core/connect_method.h"
#include "manager/core/preferences.h"
#include "manager/core/user_prompts.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/ini_file.h"

namespace managertest {
namespace {

using manager::Answer;
using manager::ConnectMethod;

struct ScriptedPrompts : manager::UserPrompts {
    Answer answer = Answer::Yes;
    std::vector<std::string> asked, told;
    Answer ConfirmYesNoCancel(const std::string& text) override
    {
        asked.push_back(text);
        return answer;
    }
    void Inform(const std::string& text) override { told.push_back(text); }
};

class Preferences : public ManagerCoreTest {
protected:
    // Folders under the test's own folder: OK makes the ones that are missing.
    std::string at(const std::string& folder) const { return dir.path() + folder; }
    store::FolderSettings globals{at("/m/"), at("/a/"), at("/t/"), at("/d/")};
    ScriptedPrompts prompts;

    manager::PreferenceValues load() { return manager::LoadPreferences(settings, ras, globals); }
    void apply(manager::PreferenceValues& chosen)
    {
        manager::ApplyPreferences(chosen, globals.messages, settings, ras, globals, prompts);
    }
    std::string key(const char* section, const char* name) const
    {
        return platform::IniFile("tarsel.ini").ReadString(section, name, "<absent>");
    }
};

TEST(ConnectMethodText, AnyCaseOfTheThreeAndNothingElse)
{
    EXPECT_EQ(manager::ParseConnectMethod("ras"), ConnectMethod::Dialup);
    EXPECT_EQ(manager::ParseConnectMethod("Manual"), ConnectMethod::Manual);
    EXPECT_EQ(manager::ParseConnectMethod("LAN"), ConnectMethod::Lan);
    EXPECT_FALSE(manager::ParseConnectMethod("modem").has_value());
    EXPECT_FALSE(manager::ParseConnectMethod("").has_value());
    EXPECT_STREQ(manager::ConnectMethodText(ConnectMethod::Dialup), "RAS");
    EXPECT_STREQ(manager::ConnectMethodText(ConnectMethod::Manual), "MANUAL");
}

TEST_F(Preferences, FilledFromThePhoneBookTheMethodTheSoundsAndTheGlobals)
{
    writeSettings("[Connect]\nMethod=ras\n[Misc]\nSoundsDisabled=1\n");
    ras.SetService("Backup line");
    const auto values = load();
    EXPECT_EQ(values.dialupEntries, (std::vector<std::string>{"None", "Office ISP", "Backup line"}));
    EXPECT_EQ(values.dialupIndex, 2);
    EXPECT_EQ(values.method, ConnectMethod::Dialup);
    EXPECT_TRUE(values.soundsDisabled);
    EXPECT_EQ(values.folders.templates, at("/t/"));
}

TEST_F(Preferences, NoServiceSelectsNothingAndAnUnknownMethodLeavesLan)
{
    writeSettings("[Connect]\nMethod=carrier pigeon\n");
    const auto values = load();
    EXPECT_EQ(values.dialupIndex, -1);
    EXPECT_EQ(values.method, ConnectMethod::Lan);
}

TEST_F(Preferences, NoneOrNoEntryMeansNoDialupAndNoError)
{
    ras.SetService("Office ISP");
    for (int index : {0, -1}) {
        auto chosen = load();
        chosen.method = ConnectMethod::Dialup;
        chosen.dialupIndex = index;
        apply(chosen);
        EXPECT_TRUE(rasErrors.empty()) << rasErrors.front();
        EXPECT_EQ(ras.Service(), "");
        EXPECT_EQ(key("RAS", "Service"), "None");
        EXPECT_EQ(key("Connect", "Method"), "RAS");
    }
}

TEST_F(Preferences, AChosenEntryIsWrittenOnlyWithDialup)
{
    auto chosen = load();
    chosen.dialupIndex = 1;
    chosen.method = ConnectMethod::Manual;
    apply(chosen);
    EXPECT_EQ(ras.Service(), "Office ISP");
    EXPECT_EQ(key("RAS", "Service"), "<absent>");
    EXPECT_EQ(key("Connect", "Method"), "MANUAL");

    chosen.method = ConnectMethod::Dialup;
    apply(chosen);
    EXPECT_EQ(key("RAS", "Service"), "Office ISP");
    EXPECT_TRUE(rasErrors.empty());
}

TEST_F(Preferences, ANewMessagesFolderAnsweredNoOrCancelIsPutBack)
{
    for (Answer answer : {Answer::No, Answer::Cancel}) {
        prompts = {};
        prompts.answer = answer;
        auto chosen = load();
        chosen.folders.messages = at("/elsewhere/");
        chosen.folders.agents = at("/agents2/");
        apply(chosen);
        ASSERT_EQ(prompts.asked.size(), 1u);
        EXPECT_EQ(prompts.asked[0], "You have selected a new messages path.  Are you sure you want to store messages in " +
                                        at("/elsewhere/") + "?");
        EXPECT_EQ(prompts.told, (std::vector<std::string>{manager::kMessagesPathRestored}));
        EXPECT_EQ(chosen.folders.messages, at("/m/"));
        EXPECT_EQ(globals.messages, at("/m/"));
        EXPECT_EQ(key("Folders", "Messages"), at("/m/"));
        // The rest of the OK still happens.
        EXPECT_EQ(globals.agents, at("/agents2/"));
        EXPECT_EQ(key("Folders", "Agents"), at("/agents2/"));
    }
}

TEST_F(Preferences, YesKeepsTheNewFolderAndAnUnchangedOneAsksNothing)
{
    auto chosen = load();
    chosen.folders.messages = at("/elsewhere/");
    apply(chosen);
    EXPECT_EQ(globals.messages, at("/elsewhere/"));
    EXPECT_EQ(key("Folders", "Messages"), at("/elsewhere/"));

    prompts = {};
    auto again = load();
    again.folders.templates = at("/templates2");
    apply(again);
    EXPECT_TRUE(prompts.asked.empty());
    // Typed without a trailing "/", stored and used with it.
    EXPECT_EQ(key("Folders", "Templates"), at("/templates2/"));
    EXPECT_EQ(globals.templates, at("/templates2/"));
    EXPECT_EQ(key("Folders", "Database"), at("/d/"));
}

TEST_F(Preferences, FoldersTypedWithoutTheirSeparatorAreStoredAndUsedWithIt)
{
    auto chosen = load();
    chosen.folders = {at("/m"), at("/x/agents"), at("/x/templates"), at("/x/data")};
    apply(chosen);
    // "m" is the messages folder already in use: nothing moves, nothing is asked.
    EXPECT_TRUE(prompts.asked.empty());
    const store::FolderSettings expected{at("/m/"), at("/x/agents/"), at("/x/templates/"), at("/x/data/")};
    for (const store::FolderSettings* f : {&globals, &chosen.folders}) {
        EXPECT_EQ(f->messages, expected.messages);
        EXPECT_EQ(f->agents, expected.agents);
        EXPECT_EQ(f->templates, expected.templates);
        EXPECT_EQ(f->database, expected.database);
    }
    EXPECT_EQ(key("Folders", "Agents"), at("/x/agents/"));
    EXPECT_EQ(key("Folders", "Templates"), at("/x/templates/"));
    EXPECT_EQ(key("Folders", "Database"), at("/x/data/"));

    // A moved messages folder is asked about with its separator; No puts
    // back the one in use.
    prompts.answer = Answer::No;
    chosen.folders.messages = at("/srv/mail");
    apply(chosen);
    EXPECT_EQ(prompts.asked, std::vector<std::string>{manager::NewMessagesPathQuestion(at("/srv/mail/"))});
    EXPECT_EQ(globals.messages, at("/m/"));
}

TEST_F(Preferences, NewFoldersAreMadeAtOnceAndOneThatCannotBeIsNeitherStoredNorUsed)
{
    auto chosen = load();
    chosen.folders.agents = at("/new/agents");
    chosen.folders.templates = at("/new/deeper/templates/");
    apply(chosen);
    EXPECT_TRUE(platform::DirectoryExists(at("/new/agents")));
    EXPECT_TRUE(platform::DirectoryExists(at("/new/deeper/templates")));
    EXPECT_EQ(globals.templates, at("/new/deeper/templates/"));

    // A file stands where the folder would go.
    test_support::writeFile(at("/plain"), "not a folder");
    auto refused = load();
    refused.folders.templates = at("/plain/templates/");
    refused.soundsDisabled = true;
    EXPECT_THROW(apply(refused), platform::FileError);
    EXPECT_EQ(globals.templates, at("/new/deeper/templates/"));
    EXPECT_EQ(key("Folders", "Templates"), at("/new/deeper/templates/"));
    EXPECT_FALSE(settings.SoundsDisabled());
}

TEST_F(Preferences, TheSoundSwitchIsWritten)
{
    auto chosen = load();
    chosen.soundsDisabled = true;
    apply(chosen);
    EXPECT_TRUE(settings.SoundsDisabled());
    chosen.soundsDisabled = false;
    apply(chosen);
    EXPECT_FALSE(settings.SoundsDisabled());
}

}  // namespace
}  // namespace managertest
