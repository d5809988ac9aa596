// The program as a person uses it: started on files on a display of its
// own, driven by real key events, its files compared on disk afterwards.
#include <gtest/gtest.h>

#include <wx/filename.h>
#include <wx/regex.h>

#include "testing.h"

using namespace qeltest;

namespace {

// Shell helpers of every script, which runs in the program's folder.
const char kHelpers[] = R"sh(
export LANG=C.UTF-8 LC_ALL=C.UTF-8 HOME="$PWD" XDG_RUNTIME_DIR="$PWD" XDG_CONFIG_HOME="$PWD/.config"
# start ARGS...: starts the program, waits for its window $w and focuses it.
start() {
  ./tindrel "$@" 2>>stderr.txt & pid=$!
  w=""
  for i in $(seq 300); do
    w=$(xdotool search --onlyvisible --pid $pid 2>/dev/null | head -1)
    [ -n "$w" ] && break; sleep 0.1
  done
  [ -n "$w" ] || { echo "no window"; exit 1; }
  xdotool windowfocus --sync $w; sleep 0.5
}
windows() { xdotool search --onlyvisible --pid $pid 2>/dev/null | wc -l; }
title_has() { case "$(xdotool getwindowname $w)" in *"$1"*) return 0;; esac; return 1; }
# wait_for COMMAND: up to 10 seconds for the command to succeed.
wait_for() {
  for i in $(seq 100); do eval "$1" && return 0; sleep 0.1; done
  echo "timed out: $1 (title: $(xdotool getwindowname $w))"; return 1
}
keys() { xdotool key --delay 60 "$@"; sleep 0.3; }
type_text() { xdotool type --delay 60 "$1"; sleep 0.3; }
# file_menu KEY: an item of the File menu by its underlined letter.
file_menu() { keys alt+f; keys "$1"; }
finish() { wait_for '! kill -0 $pid 2>/dev/null'; wait $pid; echo "exit $?"; }
)sh";

class EndToEnd : public testing::Test {
protected:
    EndToEnd()
    {
        const wxFileName exe(QEL_TINDREL_EXE);
        // Beside the program: the lexers, and no version control, whose
        // base-folder question would stop the start.
        EXPECT_TRUE(wxCopyFile(exe.GetFullPath(), m_Dir.File("tindrel")));
        EXPECT_TRUE(wxCopyFile(exe.GetPath() + "/lexers.xml", m_Dir.File("lexers.xml")));
        wxFileName(m_Dir.File("tindrel"))
            .SetPermissions(wxPOSIX_USER_READ | wxPOSIX_USER_WRITE | wxPOSIX_USER_EXECUTE);
    }

    // Runs the script in the program's folder on a display of its own; what
    // it printed.
    std::string Drive(const wxString& script)
    {
        return RunOnOwnDisplay("cd " + ShellQuote(m_Dir.Path()) + "\n" + kHelpers + script, 90);
    }

    std::string Read(const wxString& name) const { return ReadBytes(m_Dir.File(name)); }

    TempDir m_Dir;
};

} // namespace

// Three files and a "name:line" from the command line; typed text saved with
// Ctrl+S, the page closed from the File menu, and a picture of the window
// with the C file left for a person to look at. A second start hands its files
// to the running window and ends. Quit with an unsaved edit asks first;
// Cancel keeps the program and the edit. The layout and the recent files
// come back after a restart, and SIGTERM ends the program as Quit does.
TEST_F(EndToEnd, EditsSavedQuitAsksAndTheSessionComesBack)
{
    const std::string out
        = Drive("shot=" + ShellQuote(QEL_ARTEFACT_DIR "/main-window-c-file.png") + R"sh(
mkdir -p "$(dirname "$shot")"; rm -f "$shot"
mkdir sub; printf 'a\n' > a.txt; printf '1\n2\n3\n4\n' > c.txt; printf '1\n2\n' > sub/d.txt
printf '#include <stdio.h>\n\n/* Greets. */\nint main(void)\n{\n    printf("hello, world\\n");\n    return 0;\n}\n' > b.c
# The line named is selected, so the typed text replaces it.
printf '1\n2\nx\n4\n' > want-c.txt; printf '1\nw\n' > want-d.txt; printf 'z1\nw\n' > want-d2.txt
start a.txt b.c c.txt:3
wait_for 'title_has c.txt'
type_text x; keys ctrl+s
wait_for 'cmp -s c.txt want-c.txt' && echo "c.txt saved"
file_menu c
wait_for 'title_has b.c' && echo "b.c selected"
sleep 1; import -window $w "$shot"
[ "$(identify -format '%m' "$shot")" = PNG ] && [ $(identify -format '%w' "$shot") -gt 400 ] && echo "picture taken"
(cd sub && ../tindrel d.txt:2 2>>../stderr.txt); echo "second start: exit $?"
wait_for 'title_has d.txt' && echo "handed over, windows: $(windows)"
type_text w; keys ctrl+s
wait_for 'cmp -s sub/d.txt want-d.txt' && echo "opened at line 2"
keys ctrl+Home; type_text z
file_menu q
wait_for '[ $(windows) -ge 2 ]' && echo "asked"
d=$(xdotool search --onlyvisible --pid $pid | grep -vx "$w" | head -1)
xdotool windowfocus --sync $d; keys Escape
wait_for '[ $(windows) -eq 1 ]' && kill -0 $pid && echo "cancelled"
xdotool windowfocus --sync $w; keys ctrl+s
wait_for 'cmp -s sub/d.txt want-d2.txt' && echo "edit saved"
keys alt+v; keys t
file_menu q
finish
grep '^Perspective=' tindrel.ini > first.txt
start
wait_for 'title_has d.txt' && echo "recent file reopened"
kill -TERM $pid
finish
grep '^Perspective=' tindrel.ini > second.txt
cmp -s first.txt second.txt && echo "same layout"
)sh");
    EXPECT_EQ(
        out,
        "c.txt saved\nb.c selected\npicture taken\nsecond start: exit 0\nhanded over, windows: 1\n"
        "opened at line 2\nasked\ncancelled\nedit saved\nexit 0\nrecent file reopened\n"
        "exit 0\nsame layout\n")
        << Read("stderr.txt");
    EXPECT_EQ(Read("a.txt"), "a\n");
    // The tool bar, shown at a first start, was hidden in the first run.
    const std::string perspective = Read("second.txt");
    wxRegEx state("name=TOOLBAR;[^|]*state=([0-9]+)");
    ASSERT_TRUE(state.Matches(perspective)) << perspective;
    EXPECT_EQ(std::stoul(state.GetMatch(perspective, 1).ToStdString()) & 2u, 2u) << perspective;
}

// A name whose bytes are not UTF-8, on the command line and from a second
// start, also one under the C locale: each file opens by its bytes and an
// edit is saved to it, with no other file made beside it.
TEST_F(EndToEnd, NamesThatAreNotUTF8OpenByTheirBytes)
{
    const std::string out = Drive(R"sh(
n=$(printf 'c\377\376d.txt'); m=$(printf 'e\377.txt')
printf 'one\n' > "$n"; printf 'two\n' > "$m"; printf 'one\nx' > want-n; printf 'two\ny' > want-m
start "$n"
wait_for 'title_has d.txt' && echo "opened"
keys ctrl+End; type_text x; keys ctrl+s
wait_for 'cmp -s "$n" want-n' && echo "saved"
./tindrel "$m" 2>>stderr.txt; echo "second start: exit $?"
wait_for '! title_has d.txt' && echo "handed over"
keys ctrl+End; type_text y; keys ctrl+s
wait_for 'cmp -s "$m" want-m' && echo "saved"
k=$(printf 'g\351h.txt'); printf 'three\n' > "$k"; printf 'three\nz' > want-k
LC_ALL=C ./tindrel "$k" 2>>stderr.txt; echo "from the C locale: exit $?"
wait_for 'title_has h.txt' && echo "handed over"
keys ctrl+End; type_text z; keys ctrl+s
wait_for 'cmp -s "$k" want-k' && echo "saved"
kill -TERM $pid
finish
ls | grep -c '^[ceg]'
)sh");
    EXPECT_EQ(out,
              "opened\nsaved\nsecond start: exit 0\nhanded over\nsaved\n"
              "from the C locale: exit 0\nhanded over\nsaved\nexit 0\n3\n")
        << Read("stderr.txt");
}

// Pictures of what the window's own tests measure, for a person to look at:
// the tool bar with its Help tool, the explorer opened from the View menu at
// a usable width, and the spin controls of the editor options with their
// buttons.
TEST_F(EndToEnd, PicturesOfTheToolBarTheExplorerAndTheSpinControls)
{
    const std::string out = Drive("dir=" + ShellQuote(QEL_ARTEFACT_DIR) + R"sh(
mkdir -p "$dir"; printf 'int x;\n' > a.c
# picture NAME [WINDOW]: a PNG of the window in the folder of pictures.
picture() { f="$dir/$1.png"; rm -f "$f"; import -window "${2:-$w}" "$f"
  [ "$(identify -format '%m' "$f")" = PNG ] && echo "$1"; }
start a.c
picture toolbar-help-tool
keys alt+v; keys e; sleep 1
picture explorer-pane
keys alt+o; keys e
wait_for '[ $(windows) -ge 2 ]'
d=$(xdotool search --onlyvisible --pid $pid | grep -vx "$w" | head -1)
# The Margin and Folding tabs, by where they are.
xdotool mousemove --window $d 196 30 click 1; sleep 0.5; picture options-margin-spins $d
xdotool mousemove --window $d 272 30 click 1; sleep 0.5; picture options-folding-spin $d
xdotool windowfocus --sync $d; keys Escape
wait_for '[ $(windows) -eq 1 ]'
xdotool windowfocus --sync $w; keys ctrl+q
finish
)sh");
    EXPECT_EQ(out,
              "toolbar-help-tool\nexplorer-pane\noptions-margin-spins\noptions-folding-spin\n"
              "exit 0\n")
        << Read("stderr.txt");
}

// The usage needs no display. Asked for, it goes to stdout and the status is
// 0; a bad option prints the error and the usage on stderr and fails. None
// of it makes a window or leaves a settings or log file.
TEST_F(EndToEnd, HelpPrintsTheUsageWithoutAWindow)
{
    const std::string out = Drive(R"sh(
usage() { grep -q '^Usage: tindrel .*\[input file:line number\.\.\.\]' "$1" && echo " $1"; }
for display in display none; do
  for option in --help -h --bogus; do
    if [ $display = display ]; then ./tindrel $option >out.txt 2>err.txt
    else env -u DISPLAY -u WAYLAND_DISPLAY ./tindrel $option >out.txt 2>err.txt; fi
    echo "$display $option: exit $?$(usage out.txt)$(usage err.txt)" \
      "$(grep -c "Unknown long option 'bogus'" err.txt)"
  done
done
ls
)sh");
    EXPECT_EQ(out,
              "display --help: exit 0 out.txt 0\ndisplay -h: exit 0 out.txt 0\n"
              "display --bogus: exit 1 err.txt 1\nnone --help: exit 0 out.txt 0\n"
              "none -h: exit 0 out.txt 0\nnone --bogus: exit 1 err.txt 1\n"
              "err.txt\nlexers.xml\nout.txt\ntindrel\n")
        << Read("err.txt");
}

// SIGTERM while a modal dialog is up (the question about a file changed on
// disk, Process > Select) ends the dialog as Cancel and then the program as
// Quit does: no crash, and the file on disk stays as the other program left it.
TEST_F(EndToEnd, TerminatedWithADialogUp)
{
    const std::string out = Drive(R"sh(
printf 'a\n' > a.txt
start a.txt
type_text x
printf 'disk\n' > a.txt; touch -d @1000000000 a.txt
wait_for '[ $(windows) -ge 2 ]' && echo "asked"
kill -TERM $pid
finish
start a.txt
keys alt+p; keys s
wait_for '[ $(windows) -ge 2 ]' && echo "selecting"
kill -TERM $pid
finish
)sh");
    EXPECT_EQ(out, "asked\nexit 0\nselecting\nexit 0\n") << Read("stderr.txt");
    EXPECT_EQ(Read("a.txt"), "disk\n");
}

// The X server going away (the session ends, the server crashes) used to end
// the program at once, without a word and without its settings: the log
// says why it ended, and the layout and the recent file are kept.
TEST_F(EndToEnd, DisplayGoneLeavesALogLineAndTheSettings)
{
    const std::string out = Drive(R"sh(
printf 'a\n' > a.txt
start a.txt
kill $xpid
finish
grep -c 'connection to the display was lost' tindrel.log
grep -c -e "^Perspective=" -e "^file1=$PWD/a.txt\$" tindrel.ini
)sh");
    EXPECT_EQ(out, "exit 1\n1\n2\n") << Read("stderr.txt") << Read("tindrel.log");
}
