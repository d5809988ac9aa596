// The version-control systems of vcs.xml: numbering and order, commands with
// their menu placement and kinds, the command limit, faulty files, the "VCS"
// setting, and the shipped file checked against the real programs.
#include <set>
#include <string>

#include <gtest/gtest.h>
#include <wx/config.h>

#include <qelkit/vcs.h>

#include "testing.h"

using qeltest::LogCapture;

namespace {

const wxString SHIPPED = QEL_SOURCE_DIR "/data/vcs.xml";

class VcsTest : public qeltest::ConfigTest {
protected:
    // Writes the text as vcs.xml of the test's folder and reads it.
    bool ReadText(const std::string& xml)
    {
        const wxString file = m_Temp.File("vcs.xml");
        qeltest::WriteBytes(file, xml);
        QelVCS vcs{wxFileName(file)};
        return QelVCS::Read();
    }

    static std::string Names()
    {
        std::string names;
        for (const auto& [name, entry] : QelVCS::GetEntries())
            names += wxString::Format("%s=%d ", name, entry.GetNo()).ToStdString();
        return names;
    }

    static const QelVCSEntry& Entry(const wxString& name) { return QelVCS::GetEntries().at(name); }
};

std::string Systems(std::initializer_list<std::string> names)
{
    std::string xml = "<root>\n";
    for (const auto& name : names)
        xml += "<vcs name=\"" + name + "\"><commands><command>log</command></commands></vcs>\n";
    return xml + "</root>\n";
}

} // namespace

TEST_F(VcsTest, SystemsAreNumberedInFileOrderAndKeptInNameOrder)
{
    const struct {
        const char* name;
        std::string xml;
        const char* want;
    } rows[] = {
        {"DuplicateDroppedAndItsNumberReused", Systems({"svn", "svn", "git"}), "git=3 svn=2 "},
        {"CaseSensitiveOrder", Systems({"git", "CVS", "bzr"}), "CVS=3 bzr=4 git=2 "},
        {"OtherElementsIgnored",
         "<r><tool name=\"x\"/><vcs name=\"hg\"><command>x</command><commands>"
         "<command>log</command></commands></vcs><x><vcs name=\"no\"/></x></r>",
         "hg=2 "},
        {"NoSystems", "<vcs-commands/>", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LogCapture log;
        EXPECT_TRUE(ReadText(row.xml));
        EXPECT_EQ(Names(), row.want);
        EXPECT_EQ(log.Records().size(), 0u) << log.Dump();
    }
}

TEST_F(VcsTest, CommandsCarryTheirPlacementKindAndSubcommand)
{
    ASSERT_TRUE(ReadText(R"(<r><vcs name="x"><commands><command> &amp;Commit </command>
      <command type="main separator">co&amp;mmit</command><command type="popup">diff -u</command>
      <command type="popup main">annotate</command><command type="separator">show</command>
    </commands><ignored><command>never</command></ignored><commands>
      <command submenu="&amp;Branch" subcommand="list">branch</command>
      <command subcommand="pop">stash</command><command>help</command><command>&amp;log</command>
      <command>add</command><command>print</command><command>co</command><command>delta</command>
      <command>up</command><command>get</command></commands></vcs></r>)"));
    // Each command as "run|label|submenu|type|kinds", the kinds out of Add,
    // Blame, checKout, Commit, Diff, Help, Log, Open, Update, Subcommand.
    const std::string want
        = "Commit|&Commit||1|;commit|co&mmit||14|c;diff -u|diff -u||2|do;"
          "annotate|annotate||2|;show|show||11|o;branch list|branch|&Branch|1|s;"
          "stash pop|stash|pop|1|s;help|help||1|hs;log|&log||1|lo;add|add||1|a;"
          "print|print||1|bo;co|co||1|k;delta|delta||1|c;up|up||1|u;get|get||1|o;";
    std::string got;
    for (const QelVCSCommand& command : Entry("x").GetCommands()) {
        const bool kinds[]
            = {command.IsAdd(),    command.IsBlame(),      command.IsCheckout(), command.IsCommit(),
               command.IsDiff(),   command.IsHelp(),       command.IsHistory(),  command.IsOpen(),
               command.IsUpdate(), command.UseSubcommand()};
        wxString shown = command.GetCommand(true, false) + "|" + command.GetCommand(false, true)
            + "|" + command.GetSubMenu() + wxString::Format("|%lx|", command.GetType());
        for (size_t k = 0; k < std::size(kinds); ++k)
            if (kinds[k]) shown += "abkcdhlous"[k];
        got += shown.ToStdString() + ";";
        EXPECT_EQ(command.UseFlags(), !command.IsHelp()) << shown;
    }
    EXPECT_EQ(got, want);
}

// The 25th command would get the bound of the identifier block, so a system
// holds one command less than the block's width.
TEST_F(VcsTest, CommandsBeyondTheIdentifierBlockAreRefused)
{
    std::string xml = "<r><vcs name=\"many\"><commands>";
    for (int i = 0; i < 27; ++i) xml += "<command>c" + std::to_string(i) + "</command>";
    xml += "</commands></vcs></r>";
    LogCapture log;
    ASSERT_TRUE(ReadText(xml));
    const auto& commands = Entry("many").GetCommands();
    ASSERT_EQ(commands.size(), 24u);
    EXPECT_EQ(commands.back().GetCommand(), "c23");
    EXPECT_EQ(ID_EDIT_VCS_LOWEST + 1 + commands.back().GetNo(), ID_EDIT_VCS_HIGHEST - 1);
    EXPECT_EQ(log.Count("Reached commands limit: 24"), 3u) << log.Dump();
}

TEST_F(VcsTest, SystemAttributesAndFaults)
{
    LogCapture log;
    ASSERT_TRUE(ReadText(R"(<r>
<vcs name="empty" keyword-expansion="TRUE" flags-location="Prefix"/>
<vcs name="nocmd" keyword-expansion="true" flags-location="prefix"><commands/></vcs>
<vcs keyword-expansion="true"><commands><command>log</command></commands></vcs></r>)"));
    EXPECT_TRUE(Entry("nocmd").SupportKeywordExpansion() && Entry("nocmd").HasPrefixFlags());
    EXPECT_FALSE(Entry("empty").SupportKeywordExpansion() || Entry("empty").HasPrefixFlags());
    EXPECT_EQ(Names(), "=4 empty=2 nocmd=3 ");
    EXPECT_EQ(log.Dump(),
              "1: No commands found for: empty\n"
              "1: No commands found for: nocmd\n"
              "1: Missing vcs on line: 4\n"
              "1: No commands found for: \n");
    for (const char* name : {"", "empty", "nocmd"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(Entry(name).GetCommands().size(), 1u);
        EXPECT_TRUE(Entry(name).GetCommand().GetCommand().empty()
                    && Entry(name).GetCommand().GetType() == 0);
    }
}

// A malformed file is named with the place of the fault; what was read
// before stays.
TEST_F(VcsTest, MalformedOrMissingFileKeepsTheSystems)
{
    ASSERT_TRUE(ReadText(Systems({"git", "svn"})));
    wxConfigBase::Get()->Write("VCS", 3L);
    const std::string deep = qeltest::NestedXml(1001);
    const struct {
        const char *name, *xml, *message; // xml null: no file
    } rows[] = {
        {"MismatchedTag", "<r>\n<vcs name=\"x\">\n<commands></vcs>\n</r>\n", "at line 3"},
        {"NestedTooDeep", deep.c_str(), "at line 1001"},
        {"Empty", "", "vcs.xml"},
        {"Missing", nullptr, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const wxString file = m_Temp.File(wxString(row.name) + "/vcs.xml");
        wxFileName::Mkdir(m_Temp.File(row.name));
        if (row.xml != nullptr) qeltest::WriteBytes(file, row.xml);
        LogCapture log;
        QelVCS vcs{wxFileName(file)};
        EXPECT_FALSE(QelVCS::Read());
        EXPECT_EQ(Names(), "git=2 svn=3 ");
        EXPECT_EQ(wxConfigBase::Get()->ReadLong("VCS", 0), 3);
        ASSERT_EQ(log.Records().size(), row.message ? 1u : 0u) << log.Dump();
        EXPECT_EQ(log.CountLevel(wxLOG_Error), log.Records().size());
        EXPECT_TRUE(!row.message || (log.Has(file) && log.Has(row.message))) << log.Dump();
    }
}

TEST_F(VcsTest, AutomaticChoiceIsRestoredWhenSystemsComeOrGo)
{
    const struct {
        const char* name;
        std::string xml;
        long before, after; // before 0: no "VCS" key
    } steps[] = {
        {"FirstReadWithoutKey", Systems({"git", "svn"}), 0, 1},
        {"SameCountKeepsTheChoice", Systems({"git", "hg"}), 3, 3},
        {"OneFewerResets", Systems({"git"}), 3, 1},
        {"OneMoreResets", Systems({"git", "svn"}), 2, 1},
        {"KeyRemovedIsWrittenAgain", Systems({"git", "bzr"}), 0, 1},
    };
    wxConfigBase* config = wxConfigBase::Get();
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        config->Write("VCS", step.before);
        if (step.before == 0) config->DeleteEntry("VCS");
        ASSERT_TRUE(ReadText(step.xml));
        EXPECT_EQ(config->ReadLong("VCS", 0), step.after);
    }
}

// Our file reads without a word, offers what users run most in both menus,
// and every command of the programs installed here is one they know.
TEST_F(VcsTest, ShippedFile)
{
    LogCapture log;
    QelVCS vcs{wxFileName(SHIPPED)};
    ASSERT_TRUE(QelVCS::Read());
    EXPECT_EQ(log.Records().size(), 0u) << log.Dump();
    for (const auto& [name, entry] : QelVCS::GetEntries()) {
        SCOPED_TRACE(name.ToStdString());
        std::set<wxString> runs;
        std::set<long> places;
        for (const QelVCSCommand& command : entry.GetCommands()) {
            runs.insert(command.GetCommand(true, false));
            places.insert(command.GetType() & VCS_MENU_PLACES);
        }
        EXPECT_EQ(runs.size(), entry.GetCommands().size()) << "a command is there twice";
        for (const char* common : {"add", "commit", "diff", "log", "status"})
            EXPECT_EQ(runs.count(common), 1u) << common;
        EXPECT_EQ(*places.rbegin(), name == "CVS" ? VCS_MENU_POPUP : VCS_MENU_MAIN);
        EXPECT_EQ(places.count(VCS_MENU_NONE), 0u);
    }

    const struct {
        const char *system, *known; // %s: the command with its subcommand
        int status;
    } programs[]
        = {{"git", "git %s -h >/dev/null 2>&1", 129}, {"svn", "svn help %s >/dev/null 2>&1", 0}};
    for (const auto& program : programs)
        for (const QelVCSCommand& command : Entry(program.system).GetCommands()) {
            const wxString run = command.GetCommand(true, false);
            SCOPED_TRACE(std::string(program.system) + " " + run.ToStdString());
            int status = -1;
            if (!command.IsHelp()) qeltest::Run(wxString::Format(program.known, run), &status);
            EXPECT_EQ(status, command.IsHelp() ? -1 : program.status);
        }
}
