// The program, driven from outside as a person would: start it on files,
// find its window by the file's name, type and save.
#include <gtest/gtest.h>
#include <wx/filename.h>

#include "testing.h"

using namespace qeltest;

namespace {

// Starts tindrel on the file, waits for a window titled with its name,
// types the keys into it and ends the program; what the window was called.
std::string TypeInto(const wxString& file, const wxString& keys, const wxString& title)
{
    // The window is asked for its title until it shows the one expected (a
    // loaded machine may take its time), for at most 20 seconds.
    const wxString script = wxString::Format(
        "%s %s & pid=$!\n"
        "for i in $(seq 200); do w=$(xdotool search --name '^%s' | head -1); "
        "[ -n \"$w\" ] && break; sleep 0.1; done\n"
        "xdotool windowfocus --sync $w; sleep 0.3\n"
        "%s\n"
        "for i in $(seq 200); do t=$(xdotool getwindowname $w); [ \"$t\" = %s ] && break; "
        "sleep 0.1; done\n"
        "echo \"$t\"; kill $pid; wait $pid\n",
        ShellQuote(QEL_TINDREL_EXE), ShellQuote(file), file, keys, ShellQuote(title));
    return RunOnOwnDisplay(script);
}

TEST(Program, OpensEditsAndSavesFiles)
{
    TempDir dir;
    const struct {
        const char* name;
        std::string bytes;
        const char* keys;
        std::string want;
        const char* title; // the window's at the end; the file's path when null
    } rows[] = {
        {"t1.c", "int x;\n",
         "xdotool type --window $w '//a'; xdotool key --window $w Return ctrl+s", "//a\nint x;\n",
         nullptr},
        {"crlf.txt", "a\r\nb\r\n", "xdotool key --window $w End Return x ctrl+s", "a\r\nx\r\nb\r\n",
         nullptr},
        {"latin1.txt", "caf\xE9\n", "xdotool key --window $w Delete ctrl+s", "af\xE9\n", nullptr},
        // Alt+F reaches the File menu, whose C closes the page (a new unnamed
        // one takes its place); typed into the editor it would change the
        // file's title and text.
        {"alt.txt", "alt\n", "xdotool key --window $w alt+f; sleep 0.3; xdotool key --window $w c",
         "alt\n", "textfile1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const wxString path = dir.File(row.name);
        if (!row.bytes.empty()) {
            ASSERT_TRUE(WriteBytes(path, row.bytes));
        }
        const wxString want = row.title ? wxString(row.title) : path;
        EXPECT_EQ(TypeInto(path, row.keys, want), want + "\n");
        EXPECT_EQ(ReadBytes(path), row.want);
    }
}

} // namespace
