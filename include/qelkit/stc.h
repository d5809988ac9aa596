// The styled-text editor control: one document, bound to one file, with its
// lexer, find and replace, settings, editing aids and vi emulation.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <wx/filefn.h>
#include <wx/font.h>
#include <wx/stc/stc.h>
#include <wx/timer.h>

#include <qelkit/attributes.h>
#include <qelkit/defs.h>
#include <qelkit/filename.h>
#include <qelkit/lexer.h>
#include <qelkit/marker.h>
#include <qelkit/stcfile.h>
#include <qelkit/vi.h>

class wxFindDialogEvent;
class wxMenu;
class QelConfigDialog;
class QelMenu;

// The flag word of the options dialog.
enum QelEditorConfigFlags {
    EDITOR_CONFIG_MODELESS = 0x01,
    EDITOR_CONFIG_APPLY = 0x02,
    EDITOR_CONFIG_NO_INCLUDE_DIRECTORY = 0x04,
};

class QelSTC : public wxStyledTextCtrl {
public:
    // An editor that opens a file.
    QelSTC(wxWindow* parent, const QelFileName& filename, int line_number = 0,
           const wxString& match = wxEmptyString, long flags = 0, long menu_flags = EDITOR_MENU_ALL,
           wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
           const wxSize& size = wxDefaultSize, long style = 0);

    // An editor that shows a text; the title becomes the window name.
    explicit QelSTC(wxWindow* parent, const wxString& value = wxEmptyString, long win_flags = 0,
                    const wxString& title = wxEmptyString, long menu_flags = EDITOR_MENU_ALL,
                    wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                    const wxSize& size = wxDefaultSize, long style = 0);

    // A second editor on the document of stc (a split view), under the same
    // parent and bound to the same file, at the same place in the text.
    explicit QelSTC(const QelSTC& stc);
    QelSTC& operator=(const QelSTC&) = delete;

    // Loads a file, or with the file already shown and a line above 0 only
    // goes to that line. A failed load leaves the editor, its flags and its
    // binding as they were.
    virtual bool Open(const QelFileName& filename, int line_number = 0,
                      const wxString& match = wxEmptyString, long flags = 0);

    // File status and the status-bar panes; flags 0 or STAT_SYNC.
    virtual void PropertiesMessage(long flags = 0);

    // Line-end mode and vi mode line from the start of the document.
    void GuessType();

    // Applies the named lexer (with folding when fold); false when the
    // control does not know it.
    bool SetLexer(const wxString& lexer, bool fold = false);
    // Shows the text plainly, set up for lines of hundreds of kilobytes: no
    // lexer, the style bytes in short runs, and the layout of every line
    // shown kept.
    // Until the document is cleared, an empty lexer applied again (a theme,
    // a font) keeps it so.
    void ShowLongLines();
    bool HasLongLines() const { return m_LongLines; }
    void SetLexerProperty(const wxString& name, const wxString& value);

    // Replaces the whole document by the text (UTF-8 in the control).
    void SetText(const wxString& value);
    void ClearDocument();

    // The line end of the current end-of-line mode.
    wxString GetEOL() const;

    // Converts every line end and sets the mode; refused when read-only.
    void EOLModeUpdate(int eol_mode);

    void PositionSave();
    void PositionRestore();
    void ResetMargins(bool divider_margin = true);

    QelFile& GetFile() { return m_File; }
    // Whether another editor shows this editor's document (a split view).
    bool IsDocumentShared() const { return m_File.IsShared(); }
    const QelFileName& GetFileName() const { return m_File.GetFileName(); }
    // Reloads the file when it changed on disk and a check is due (see
    // QelSTCFile::CheckSyncIfDue), and follows its read-only attribute; for
    // idle time and the timer that follows the shown files.
    void FollowFile();
    const QelLexer& GetLexer() const { return m_Lexer; }
    QelVi& GetVi() { return m_vi; }
    const QelVi& GetVi() const { return m_vi; }
    long GetFlags() const { return m_Flags; }
    bool MacroIsRecording() const { return m_MacroIsRecording; }
    bool MacroIsRecorded() const { return !m_Macro.empty(); }

    // Find, replace and go-to.
    bool FindNext(const wxString& text, int search_flags, bool find_next = true);
    bool FindNext(bool find_next = true);
    bool ReplaceNext(const wxString& find_text, const wxString& replace_text, int search_flags,
                     bool find_next = true);
    bool ReplaceNext(bool find_next = true);
    // The search as the user types a text: FindNext at once in a short
    // document; in a long one it starts when typing pauses and runs in
    // slices between events, so that typing never waits for it. A new call
    // replaces a search still running; FindNext first finishes it.
    void FindAsYouType(const wxString& text, int search_flags, bool find_next = true);
    bool IsFindingAsYouType() const { return m_TypedFind.pos >= 0; }
    int ReplaceAll(const wxString& find_text, const wxString& replace_text);
    // Replaces every match in [start, end) as one change and one undo step;
    // under a regular expression a replacement with \1 to \9 takes the
    // tagged parts of each match. A match of nothing is replaced too, as sed
    // does. Markers, caret and view stay with their text. The count.
    int ReplaceAllInRange(int start, int end, const wxString& find_text,
                          const wxString& replace_text, int search_flags);
    bool GotoDialog(const wxString& caption = _("Enter Line Number"));
    void GotoLineAndSelect(int line_number, const wxString& text = wxEmptyString);
    wxString GetFindString() const;
    // Whether a selection that is not a rectangle holds anything: decided
    // on positions, since text converted from bytes may come out empty.
    bool HasSelectedText() const;
    // The selected text (empty for a rectangle), every byte kept.
    wxString GetSelectedText() const;
    // The code of the selected character when the selection is one
    // character, whatever its bytes (a byte that is not UTF-8 gives its own
    // value); else -1.
    int GetSelectedCharacterCode() const;
    // The bytes from start to end as text, every byte kept (QelSTCText).
    wxString GetTextRangeKept(int start, int end) const;
    wxString GetWordAtPos(int pos) const;
    wxString GetTextAtCurrentPos() const;
    long GetGotoLineNumber() const { return m_GotoLineNumber; }

    // Settings and the options dialog.
    void ConfigGet();
    static int ConfigDialog(wxWindow* parent, const wxString& title = _("Editor Options"),
                            long flags = 0, wxWindowID id = wxID_ANY);
    const wxPathList& GetPathList() const { return m_PathList; }

    // Editing aids.
    bool CheckBrace(int pos);
    bool SmartIndentation();
    void Indent(int begin, int end, bool forward);
    void Indent(int lines, bool forward);
    void CheckAutoComp(const wxUniChar& c);
    void Fold(bool foldall = false);
    void FoldAll();
    void MarkerAddChange(int line);
    // Whether changed lines get the change marker: an editable document of
    // a file, with the marker loaded.
    bool MarksChanges() const;
    void MarkTargetChange();
    void MarkerDeleteAllChange();
    void MarkerNext(bool next);
    int GetLineNumberAtCurrentPos() const;

    // The hexadecimal dump of the bytes, added at the caret; start is the
    // offset of the first byte.
    void AddTextHexMode(wxFileOffset start, const char* bytes, size_t size);

    // Pairs a byte's hexadecimal digits with its character in a dump;
    // false when pos is on neither.
    bool CheckBraceHex(int pos);
    // Shows the selection or the word at pos in hexadecimal and decimal as
    // a call tip, and puts the text on the clipboard.
    void HexDecCalltip(int pos);
    // Enters a character by its code (0 to 255), or tells the code of the
    // one selected character in a read-only editor.
    void ControlCharDialog(const wxString& caption = _("Enter Control Character"));
    // Switches into or out of the dump (flags with EDITOR_HEX toggled): into
    // it from the document's bytes, out of it by reading the file again.
    // Refused with a message for a document with unsaved changes, which
    // would not come back; when the read fails the dump stays, likewise.
    bool Reload(long flags);

    // Commands of the context menu and the status bar.
    void FileTypeMenu();
    // The check items of the line-end and hex menu, checked as the editor is.
    void AppendFileTypeItems(wxMenu& menu);
    void SortSelectionDialog(bool sort_ascending,
                             const wxString& caption = _("Enter Sort Position"));
    // Sorts the selected whole lines on their bytes from column (from 1) on;
    // false when there is nothing to sort or the document is read-only.
    bool SortSelection(bool sort_ascending, int column);
    // Opens the file named by link ("name" or "name:line"), or with filename
    // given only stores the found file's name there.
    bool LinkOpen(const wxString& link_with_line, int line_number = 0,
                  wxString* filename = nullptr);
    void Cut() override;
    void Paste() override;
    // Looked up in the theme once, as the notebook's are: a blink of the
    // caret paints.
    wxVisualAttributes GetDefaultAttributes() const override;
    // Keys that vi leaves to the window in its normal mode are kept from
    // the control, which would edit with them, and are left unhandled.
    bool ProcessEvent(wxEvent& event) override;
    // Puts the text from start to end and the suffix on the clipboard as
    // copy does, every byte kept; and the bytes that a text from the
    // clipboard stands for, with the document's line ends, as paste adds.
    bool CopyKept(int start, int end, const wxString& suffix = wxEmptyString) const;
    std::string PasteBytes(const wxString& text) const;

    // Printing through the shared page setup: the print dialog first when
    // prompt; the preview in a frame of its own.
    void Print(bool prompt = true);
    void PrintPreview();

    // No edit makes a line heavier than QelEditorMaxLineWeight: the control
    // lays a line out whole at every change of it, and would hold the window
    // for seconds. Whether replacing the bytes from `from` to `to` by
    // `bytes` keeps every line it makes within that weight; when it does
    // not, the edit is refused with one message, and false.
    bool KeepsLinesLight(int from, int to, std::string_view bytes);
    // The same for a message of the control that edits where the caret or
    // the selection is: a paste, a cut, a deletion, a text it carries.
    bool CommandKeepsLinesLight(int message, wxUIntPtr wparam = 0, wxIntPtr lparam = 0);
    // Sends such a message once it is known to keep the lines light;
    // false when it was refused.
    bool SendWeighed(int message, wxUIntPtr wparam = 0, wxIntPtr lparam = 0);
    // The control's own, weighed first: refused, the document unchanged,
    // when a line would be too heavy. A joining of the target's lines, the
    // insertions of bytes, and the replacements, which delete before they
    // insert.
    void LinesJoin();
    void AddTextRaw(const char* text, int length = -1);
    // The replacements give -1 when refused.
    int ReplaceTargetRaw(const char* text, int length = -1);
    int ReplaceTarget(const wxString& text);
    void ReplaceSelection(const wxString& text);
    // How many edits were refused so: a run of edits stops at one.
    size_t GetHeavyLineRefusals() const { return m_HeavyLineRefusals; }

    // Keyboard macros, one recording for all editors.
    void StartRecord();
    void StopRecord();
    void MacroPlayback();
    // The recorded macro, one "message wparam text" record per action; a
    // position is a wparam counted from the caret.
    static const std::vector<wxString>& GetMacro() { return m_Macro; }

    // The zoom level shared by the editors, once one editor made it known.
    static std::optional<int> GetSharedZoom() { return m_Zoom; }

protected:
    virtual void BuildPopupMenu(QelMenu& menu);
    // The style of the context menu for the editor as it is now.
    long GetMenuStyle() const;
    void OnChar(wxKeyEvent& event);
    void OnCommand(wxCommandEvent& event);
    void OnMouse(wxMouseEvent& event);
    void OnFindDialog(wxFindDialogEvent& event);
    void OnIdle(wxIdleEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnKeyUp(wxKeyEvent& event);
    void OnStyledText(wxStyledTextEvent& event);
    void OnModified(wxStyledTextEvent& event);
    void OnDrop(wxStyledTextEvent& event);
    void OnPainted(wxStyledTextEvent& event);

private:
    // A search as the user types, between its slices.
    struct TypedFind {
        wxString text;
        std::string bytes; // the text as the control holds it
        int flags = 0;
        bool forward = true;
        bool wrapped = false;
        int pos = -1; // where the next slice starts; -1: no search runs
    };

    // Searches the next slice of the search as the user types; false when
    // that search has ended.
    bool FindSlice();
    // Searches slices for one turn of the timer; false as FindSlice.
    bool FindSlices();
    void FinishFindAsYouType();
    // Selects the match in the target and shows it; the status line is
    // cleared unless the search wrapped to find it.
    void SelectFound(bool wrapped);
    // The bytes that replace the target's match: with its tagged parts
    // when tagged (the control's last regular-expression search).
    std::string TargetReplacement(const wxString& replace_text, bool tagged);

    // At least the weight of one line, kept up as the line is edited, so
    // that typing in a long line does not weigh it again at every key.
    struct LineWeightBound {
        int line = -1;  // -1: none
        int length = 0; // its bytes when last followed: a change not told shows
        size_t weight = 0;
        bool exact = false; // weighed, not raised by the changes followed since
        int ahead = -1;     // the weight is already that after an insertion here
    };

    // While alive, what the editor inserts is not weighed again as it goes
    // in: it was weighed before, where its bytes were known. The control
    // does not even ask: each check would carry the text converted.
    class WeighedAhead {
    public:
        explicit WeighedAhead(QelSTC& stc, bool weighed = true)
            : m_STC(stc)
            , m_Mask(stc.GetModEventMask())
        {
            if (weighed && (m_Mask & wxSTC_MOD_INSERTCHECK))
                m_STC.SetModEventMask(m_Mask & ~wxSTC_MOD_INSERTCHECK);
            else
                m_Mask = -1; // nothing to put back
        }
        ~WeighedAhead()
        {
            if (m_Mask >= 0) m_STC.SetModEventMask(m_Mask);
        }
        WeighedAhead(const WeighedAhead&) = delete;
        WeighedAhead& operator=(const WeighedAhead&) = delete;

    private:
        QelSTC& m_STC;
        int m_Mask;
    };

    friend class QelSTCFile; // fills the include folders from a catalog

    void Initialize();
    void BindEvents();
    void BindCommandEvents();
    void OnMacroEvent(wxStyledTextEvent& event);
    void OnClipboardCopy(wxStyledTextEvent& event);
    void OnClipboardPaste(wxStyledTextEvent& event);
    // Paste, refused when a line would be too heavy; false then.
    bool PasteWeighed();
    // The check of every insertion, before it is made: one that would make
    // a line too heavy is turned into nothing.
    void CheckInsertion(wxStyledTextEvent& event);
    // Keeps m_WeightBound after a change of the text.
    void FollowLineWeight(const wxStyledTextEvent& event);
    // At least the weight of the line, weighing it only when not known.
    size_t LineWeightAtMost(int line);
    // The heaviest line that replacing [from, to) by the bytes makes.
    size_t WeightOfReplacing(int from, int to, std::string_view bytes) const;
    // Counts a refusal, and tells it once for the edits of one event.
    void RefuseHeavyLine();
    bool FileReadOnlyAttributeChanged();
    // Styles the text up to pos, from the start of the first line not styled.
    void StyleTo(int pos);
    // Collapses the blocks starting on the lines from "from" up to end, as
    // FoldAll does, leaving "from" after the last line looked at; a block
    // whose end lies more than limit bytes past its header (limit -1: none),
    // or below whose header line keep lies, stays open and its inner blocks
    // collapse. True when a block was collapsed.
    bool FoldLines(int& from, int end, int limit, int keep);
    // Folds the lines of m_FoldGaps shown from top to bottom.
    bool FoldGapsShown(int top, int bottom);
    // Moves the lines still to fold after a change of added lines below line.
    void ShiftFoldLines(int line, int added);
    // The last line of the block of the header line with the level; -1 when
    // it reaches beyond the position limit (-1: none).
    int FoldBlockEnd(int line, int level, int limit);
    // Folds the blocks that start on the lines shown, styling them first,
    // and then those that folding brings into view, keeping the top line.
    void FoldStyled();
    void Zoom(int step);
    // Widens the line-number margin to the widest line number when shown,
    // never below the width set; only when the number of digits changed
    // unless forced.
    void FitLineNumberMargin(bool force);
    // Tabs as "Use tabs" says, always in a makefile, whose recipe lines
    // must begin with one.
    void ApplyUseTabs();

    const int m_MarginDividerNumber = QEL_MARGIN_DIVIDER;
    const int m_MarginFoldingNumber = QEL_MARGIN_FOLDING;
    const int m_MarginLineNumber = QEL_MARGIN_LINE_NUMBER;
    const QelMarker m_MarkerChange{QEL_MARKER_CHANGE};
    const long m_MenuFlags;

    int m_SavedPos = 0;
    int m_SavedSelectionStart = -1;
    int m_SavedSelectionEnd = -1;
    long m_Flags;
    long m_GotoLineNumber = 1;
    bool m_MacroIsRecording = false;
    // A long document folds as it gets styled: the next line to look at,
    // -1 when nothing waits to fold.
    int m_FoldLine = -1;
    // Lines before m_FoldLine not yet folded, [first, end): a jump passed
    // over them, and they fold once they are shown.
    std::vector<std::pair<int, int>> m_FoldGaps;
    bool m_LongLines = false; // shown as ShowLongLines says
    LineWeightBound m_WeightBound;
    bool m_RefusingInsertion = false; // between an insertion's check and its end
    int m_DeletedAt = -1;             // where the change just before deleted, if it did
    bool m_HeavyLineTold = false;     // the refusal was told for this event
    size_t m_HeavyLineRefusals = 0;
    int m_LineNumberWidth = 0;  // as set, 0 when line numbers are not shown
    int m_LineNumberDigits = 0; // of the line count the margin fits

    TypedFind m_TypedFind;
    wxTimer m_TypedFindTimer;
    QelLexer m_Lexer;
    QelSTCFile m_File;
    QelVi m_vi;
    QelDefaultAttributes m_DefaultAttributes{this};
    wxFont m_DefaultFont;
    wxPathList m_PathList;

    static QelConfigDialog* m_ConfigDialog;
    static std::vector<wxString> m_Macro;
    static std::optional<int> m_Zoom;
};

// Pure helpers of the editor, over the bytes or text they look at.

// The line-end mode (wxSTC_EOL_CRLF, _LF or _CR) of a sample from the start
// of a document, tested in that order; -1 when it holds no line end. A CR
// as the very last byte of a sample cut from a longer text does not count:
// its LF may lie just past the cut.
int QelGuessEOLMode(const std::string& sample, bool truncated);

// The options of a vi mode line ("vi: set ts=4:") in the sample, the text
// after "set " to the end of its line; empty when there is none.
wxString QelModeLineOptions(const std::string& sample);

// The control's bytes as text without losing any: valid UTF-8 as its
// characters, any other byte as a private-use character of its own, which
// QelSTCBytes turns back into that byte. Text that the editor searches for
// goes through QelSTCBytes, so that such a text finds its bytes again.
wxString QelSTCText(const char* bytes, size_t length);
std::string QelSTCBytes(const wxString& text);
// Searches the control's target for the bytes with its search flags, whole
// words also for a regular expression; the match's start, or -1.
int QelSTCSearchBytes(wxStyledTextCtrl* stc, const std::string& bytes);
// The byte that a character of QelSTCText stands for; any other code as is.
wxUint32 QelByteOfCharacter(wxUint32 code);

// The text between the first pair of delimiters that fits on the line:
// double quotes, angle brackets, ": " and ":", single quotes; trimmed.
wxString QelTextInDelimiters(const wxString& line);

// Whether a replacement refers to tagged parts (\1 to \9) of a match.
bool QelIsTargetRE(const wxString& target);

// The leading blanks and tabs of a line.
std::string QelLeadingWhiteSpace(const std::string& line);

// The hexadecimal dump of the bytes: lines of 16, each with the offset
// (from start), the bytes in hexadecimal and as characters, and eol.
std::string QelHexDump(wxFileOffset start, const char* bytes, size_t size, const char* eol);

// The same dump added to the end of dump.
void QelHexDumpAppend(std::string& dump, wxFileOffset start, const char* bytes, size_t size,
                      const char* eol);

// The column paired with a column of a dump line holding n bytes; -1 in the
// offset field, -2 on a blank or past the line's bytes.
int QelHexPartnerColumn(int column, int n);

// The call-tip text of a word: its first character's code when that is a
// control or high character, else the word as a decimal and as a
// hexadecimal number; empty when it is neither.
wxString QelHexDecText(const wxString& word);

// The lines of text (each ending in eol) sorted on their bytes from column
// (from 1) on, stably; descending is the exact reverse. Empty lines go.
std::string QelSortLines(const std::string& text, const std::string& eol, size_t column,
                         bool ascending);
