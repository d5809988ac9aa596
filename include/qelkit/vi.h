// The vi emulation of an editor control: normal mode with counts, operators,
// marks, searches and repeat, insert mode, and the ex commands typed after
// ":" with their line ranges.
#pragma once

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include <wx/event.h>
#include <wx/string.h>

#include <qelkit/marker.h>

class QelIndicator;
class QelProcess;
class QelSTC;

class QelVi {
public:
    // Bound to the editor it drives for the whole of its life; off, in
    // normal mode.
    explicit QelVi(QelSTC* stc);
    ~QelVi();
    QelVi(const QelVi&) = delete;
    QelVi& operator=(const QelVi&) = delete;

    // Switches the emulation on or off; switching off leaves insert mode
    // and closes its undo group.
    void Use(bool mode);

    bool GetIsActive() const { return m_IsActive; }
    bool GetInsertMode() const { return m_InsertMode; }
    int GetSearchFlags() const { return m_SearchFlags; }
    QelSTC* GetSTC() { return m_STC; }
    // The normal-mode command typed so far (a count or the start of a
    // longer command).
    const wxString& GetCommand() const { return m_Command; }
    // How often a command failed with the bell since construction.
    int GetBellCount() const { return m_BellCount; }

    // The editor's key handlers ask here first: true means the editor
    // handles the key itself, false that vi consumed it.
    bool OnChar(const wxKeyEvent& event);
    bool OnKeyDown(const wxKeyEvent& event);
    // A key-down or character event that normal mode leaves to the
    // window's menus and the editor must not handle: no vi command, no
    // caret motion. Insert mode and an emulation that is off leave none.
    bool LeavesToWindow(const wxKeyEvent& event) const;
    // The editor added a typed character: insert mode collects it for
    // repeats. Line ends are collected with the Return key.
    void OnCharAdded(int key);

    // One ex command, without its leading ":"; true when carried out.
    bool ExecCommand(const wxString& command);

    // One "set" option without the word "set ": "ts=N" or "tabstop=N" sets
    // the tab width and stores it as the "Tab width" setting. False (and the
    // bell) for any other option or a width below 1.
    bool DoCommandSet(const wxString& command);

    // The options of a file's mode line ("ts=4 sw=4" or "ts=4:"), applied to
    // this editor only, and only while the emulation is on. Options that are
    // not understood are passed over; nothing in them is ever run as a
    // command, and the settings are not touched. The number of options taken.
    int ApplyModeLine(const wxString& options);

    // Fills the range from `start` to `end` with the indicator, made the
    // editor's current one, when the lexers have loaded it; an empty or
    // reversed range fills nothing.
    void SetIndicator(const QelIndicator& indicator, int start, int end) const;

    // The marks on the 0-based lines from first to last, each with its
    // line, taken off: an edit that rewrites those lines puts them back.
    std::vector<std::pair<wxUniChar, int>> TakeMarks(int first, int last);
    // Sets the mark on the 0-based line, as "m" does on the caret's line.
    void PutMark(const wxUniChar& marker, int line);

    // The insert mode ends without replaying (the document is being
    // replaced under it), closing its undo group.
    void LeaveInsertMode();

    // Counts beyond this are taken as this.
    static constexpr int MaxCount = 100000000;

    // The count that leads a command: its leading digits, clamped; none or
    // 0 gives 1.
    static int GetCount(const wxString& command);

    // Whether "." is to repeat a command that was just carried out.
    static bool IsRepeatable(const wxString& command);

private:
    // Normal mode (vi.cpp).
    void OnCharHook(wxKeyEvent& event);
    void AddToCommand(wxUniChar c);
    bool DoCommand(const wxString& command, bool dot);
    bool DoMultiCharCommand(const wxString& command, int count, bool dot);
    bool DoSingleCharCommand(const wxString& command, int count, bool dot);
    bool DoMotion(wxUniChar c, int count);
    void ChangeWords(int count, bool dot);
    void DeleteWords(int count);
    void FindChar(wxUniChar c, int count, bool forward) const;
    void JoinLines(int count);
    void InsertMode(wxUniChar c, int repeat, bool overtype, bool dot);
    // The Tab key in insert mode.
    void InsertTab();
    bool ReplaceChars(wxUniChar c, int count);
    void DeleteChars(int count, bool forward);
    void MoveLines(int count, bool down);
    // "H", "M" or "L": the count-th line shown from the top or the bottom,
    // or the middle one.
    void GotoScreenLine(wxUniChar which, int count) const;
    void FindWord(bool find_next) const;
    void GotoBrace() const;
    void Put(bool after) const;
    void ToggleCase() const;
    void Delete(int lines) const;
    void Yank(int lines) const;
    // A line or a match that a jump or a search left selected shows the
    // user what was found, while vi's cursor stands at its start.
    struct Found {
        int start = -1;
        int end = -1;
    };
    // The selection is still the one found, not one the user made.
    bool HasFound() const;
    // Takes the selection a jump or a search just made as found.
    void KeepFound() const;
    // Before a command acts: the cursor to the start of what was found,
    // which is no longer shown.
    void DropFound() const;
    // At the first key after the bar's search: what it selected was found.
    void TakeBarSearch();
    // The searches and what may still become one go on from what was found.
    static bool KeepsFound(const wxString& command);
    // "n", "N", "f", "F" and ";": from vi's cursor, onwards or back.
    bool SearchFromCursor(const wxString& text, int count, bool forward) const;
    void DeleteMarker(const wxUniChar& marker);
    // The 1-based line the mark is on now; 0 when it is not set.
    int MarkLine(const wxUniChar& marker) const;
    void GotoMarker(const wxUniChar& marker);
    void Fold(const wxString& command) const;

    // Ex commands (viex.cpp).
    bool DoCommandRange(const wxString& command);
    int ToLineNumber(const wxString& address) const;
    bool GetLines(const wxString& begin, const wxString& end, int& b, int& e) const;
    bool Indent(const wxString& begin, const wxString& end, bool forward);
    bool Delete(const wxString& begin, const wxString& end);
    bool Yank(const wxString& begin, const wxString& end) const;
    bool Move(const wxString& begin, const wxString& end, const wxString& destination);
    bool Write(const wxString& begin, const wxString& end, const wxString& filename) const;
    bool Substitute(const wxString& begin, const wxString& end, const wxString& pattern,
                    const wxString& replacement) const;
    void DeleteAddressMarkers(const wxString& begin, const wxString& end);

    // Whole lines, from the start of 0-based line `first` to the start of
    // line `end` (the document end beyond the last line). The clipboard gets
    // them each with its line end, as a put takes them back.
    void CopyLines(int first, int end) const;
    void CutLines(int first, int end) const;
    // Whole-line edits see every line ended: a last line without its line
    // end gets one for the edit, and the last line gives it back after.
    bool EndLastLine() const;
    void UnendLastLine(bool ended) const;

    // What vi needs of its editor and frame (viedit.cpp).
    bool IsReadOnly() const;
    wxString GetEOL() const;
    // The ex address "$": the last line that holds text (1-based), not the
    // empty one after a last line end.
    int GetLastLine() const;
    bool FindNext(const wxString& text, bool find_next) const;
    // FindNext `count` times, stopping at the first that finds nothing.
    bool FindRepeated(const wxString& text, int count, bool forward) const;
    void GotoLineAndSelect(int line_number) const;
    void MarkTargetChange() const;
    void MarkerAddChange(int line) const;
    void IndentLines(int begin, int end, bool forward) const;
    void SetFolding(bool fold) const;
    void ShowViMessage(const wxString& text) const;
    void GetViCommand(const wxString& command);
    void HideViBar() const;
    void PostCommand(int id, const wxString& text = wxEmptyString) const;
    void PostClose(bool can_veto) const;
    void Bell() const;

    QelMarker m_MarkerSymbol;
    std::map<wxUniChar, int> m_Markers; // mark to the handle of its margin symbol
    bool m_InsertMode = false;
    bool m_IsActive = false;
    bool m_SearchForward = true;
    int m_InsertRepeatCount = 1;
    int m_SearchFlags;
    std::unique_ptr<QelProcess> m_Process; // runs "!" commands; made on first use
    QelSTC* m_STC;
    wxString m_Command;
    wxString m_InsertText;
    mutable int m_BellCount = 0;
    mutable int m_MessageCount = 0; // messages shown since construction
    int m_DotDepth = 0;             // "." replaying a command now
    mutable Found m_Found;          // what the last jump or search selected
    bool m_BarSearch = false;       // the bar was opened for a search

    static wxString m_LastCommand;
    static wxString m_LastFindCharCommand;
};

// The tab width of one "ts=N" or "tabstop=N" option; 0 when the option is
// another one or the width is not a whole number above 0.
int QelViTabStop(const wxString& option);
