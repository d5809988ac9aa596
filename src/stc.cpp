#include <qelkit/stc.h>

#include <algorithm>
#include <string>

#include <wx/accel.h>
#include <wx/config.h>
#include <wx/fdrepdlg.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/settings.h>

#include <qelkit/frame.h>
#include <qelkit/lexers.h>
#include <qelkit/status.h>

namespace {

// The command of a key that pastes, cuts or deletes, as the control's key
// map has it; 0 for any other key.
int EditingCommandOfKey(const wxKeyEvent& event)
{
    const int modifiers = event.GetModifiers();
    switch (event.GetKeyCode()) {
    case WXK_BACK:
        return modifiers == wxMOD_CONTROL                         ? wxSTC_CMD_DELWORDLEFT
            : modifiers == wxMOD_NONE || modifiers == wxMOD_SHIFT ? wxSTC_CMD_DELETEBACK
                                                                  : 0;
    case WXK_DELETE:
        return modifiers == wxMOD_CONTROL ? wxSTC_CMD_DELWORDRIGHT
            : modifiers == wxMOD_NONE     ? wxSTC_CMD_CLEAR
            : modifiers == wxMOD_SHIFT    ? wxSTC_CMD_CUT
                                          : 0;
    case WXK_INSERT:
        return modifiers == wxMOD_SHIFT ? wxSTC_CMD_PASTE : 0;
    case 'V':
        return modifiers == wxMOD_CONTROL ? wxSTC_CMD_PASTE : 0;
    case 'X':
        return modifiers == wxMOD_CONTROL ? wxSTC_CMD_CUT : 0;
    default:
        return 0;
    }
}

} // namespace

QelConfigDialog* QelSTC::m_ConfigDialog = nullptr;
std::vector<wxString> QelSTC::m_Macro;
std::optional<int> QelSTC::m_Zoom;

QelSTC::QelSTC(wxWindow* parent, const QelFileName& filename, int line_number,
               const wxString& match, long flags, long menu_flags, wxWindowID id,
               const wxPoint& pos, const wxSize& size, long style)
    : wxStyledTextCtrl(parent, id, pos, size, style)
    , m_MenuFlags(menu_flags)
    , m_Flags(flags)
    , m_File(this)
    , m_vi(this)
{
    Initialize();
    Open(filename, line_number, match, flags);
}

QelSTC::QelSTC(wxWindow* parent, const wxString& value, long win_flags, const wxString& title,
               long menu_flags, wxWindowID id, const wxPoint& pos, const wxSize& size, long style)
    : wxStyledTextCtrl(parent, id, pos, size, style, title)
    , m_MenuFlags(menu_flags)
    , m_Flags(win_flags)
    , m_File(this)
    , m_vi(this)
{
    Initialize();
    PropertiesMessage();

    if (value.empty()) return;

    if (m_Flags & EDITOR_HEX) {
        const wxScopedCharBuffer bytes = value.utf8_str();
        AddTextHexMode(0, bytes.data(), bytes.length());
    } else {
        SetText(value);
    }

    GuessType();

    if (m_Flags & (EDITOR_READ_ONLY | EDITOR_HEX)) SetReadOnly(true);
}

QelSTC::QelSTC(const QelSTC& stc)
    : wxStyledTextCtrl(stc.GetParent(), wxID_ANY)
    , m_MenuFlags(stc.m_MenuFlags)
    , m_Flags(stc.m_Flags)
    , m_GotoLineNumber(stc.m_GotoLineNumber)
    , m_File(this)
    , m_vi(this)
{
    Initialize();

    // The document itself, not a copy read again: what is typed in either
    // editor shows in both, a document never saved included.
    SetDocPointer(const_cast<QelSTC&>(stc).GetDocPointer());
    m_File.FollowView(stc.m_File);
    SetName(stc.GetName());
    m_PathList = stc.m_PathList;
    m_LongLines = stc.m_LongLines;
    // The styles are the editor's own.
    if (m_Flags & EDITOR_HEX)
        AddTextHexMode(0, nullptr, 0);
    else
        SetLexer(stc.GetLexer().GetScintillaLexer(), true);
    SetSelection(stc.GetAnchor(), stc.GetCurrentPos());
    SetFirstVisibleLine(stc.GetFirstVisibleLine());
}

void QelSTC::Initialize()
{
    m_DefaultFont = wxConfigBase::Get(true)->ReadObject(_("Default font"), QelDefaultEditorFont());

    BindEvents();

    // New documents get the platform's line end.
    SetEOLMode(wxSTC_EOL_LF);
    SetBackSpaceUnIndents(true);
    // Changes of text only: styling and folding a large file would send an
    // event for every line. Each insertion is weighed before it is made.
    SetModEventMask(wxSTC_MOD_INSERTTEXT | wxSTC_MOD_DELETETEXT | wxSTC_MOD_INSERTCHECK);
    SetMouseDwellTime(1000);
    // The control starts with no brace lit in the style of a bad brace, so
    // the first clearing of the highlight, at the first key released, found
    // a change and redrew the whole window: cleared before the first paint.
    BraceHighlight(wxSTC_INVALID_POSITION, wxSTC_INVALID_POSITION);
    // The caret blinks at the desktop's rate, as its other text fields do,
    // and stays steady where the desktop says so; each blink redraws the
    // caret's line and wakes the program. The control's period is as long
    // on as off.
    const int on = wxSystemSettings::GetMetric(wxSYS_CARET_ON_MSEC, this);
    const int off = wxSystemSettings::GetMetric(wxSYS_CARET_OFF_MSEC, this);
    if (on == 0 || off == 0)
        SetCaretPeriod(0);
    else if (on > 0 && off > 0)
        SetCaretPeriod((on + off) / 2);

    SetMarginType(m_MarginLineNumber, wxSTC_MARGIN_NUMBER);
    SetMarginType(m_MarginDividerNumber, wxSTC_MARGIN_SYMBOL);
    SetMarginType(m_MarginFoldingNumber, wxSTC_MARGIN_SYMBOL);
    SetMarginMask(m_MarginFoldingNumber, wxSTC_MASK_FOLDERS);
    SetMarginSensitive(m_MarginFoldingNumber, true);

    if (m_Zoom)
        SetZoom(*m_Zoom);
    else
        m_Zoom = GetZoom();

    UsePopUp(wxSTC_POPUP_NEVER);

    static const wxAcceleratorEntry keys[] = {
        {wxACCEL_CTRL, 'Z', wxID_UNDO},
        {wxACCEL_CTRL, 'Y', wxID_REDO},
        {wxACCEL_CTRL, 'D', ID_EDIT_HEX_DEC_CALLTIP},
        {wxACCEL_NORMAL, WXK_F3, ID_EDIT_FIND_NEXT},
        {wxACCEL_NORMAL, WXK_F4, ID_EDIT_FIND_PREVIOUS},
        {wxACCEL_NORMAL, WXK_F7, wxID_SORT_ASCENDING},
        {wxACCEL_NORMAL, WXK_F8, wxID_SORT_DESCENDING},
        {wxACCEL_NORMAL, WXK_F9, ID_EDIT_FOLD_ALL},
        {wxACCEL_NORMAL, WXK_F10, ID_EDIT_UNFOLD_ALL},
        {wxACCEL_NORMAL, WXK_F11, ID_EDIT_UPPERCASE},
        {wxACCEL_NORMAL, WXK_F12, ID_EDIT_LOWERCASE},
        {wxACCEL_NORMAL, WXK_DELETE, wxID_DELETE},
        {wxACCEL_CTRL, WXK_INSERT, wxID_COPY},
        {wxACCEL_SHIFT, WXK_INSERT, wxID_PASTE},
        {wxACCEL_SHIFT, WXK_DELETE, wxID_CUT},
        {wxACCEL_CTRL, '=', ID_EDIT_ZOOM_IN},
        {wxACCEL_CTRL, '-', ID_EDIT_ZOOM_OUT},
        {wxACCEL_CTRL, '9', ID_EDIT_MARKER_NEXT},
        {wxACCEL_CTRL, '0', ID_EDIT_MARKER_PREVIOUS},
    };
    SetAcceleratorTable(wxAcceleratorTable(WXSIZEOF(keys), keys));

    // The settings' font first: the global styles copy the default style.
    StyleSetFont(wxSTC_STYLE_DEFAULT, m_DefaultFont);
    QelLexers::Get(true)->ApplyGlobalStyles(this);
    ConfigGet();
}

wxVisualAttributes QelSTC::GetDefaultAttributes() const
{
    return m_DefaultAttributes.Get([this] { return wxStyledTextCtrl::GetDefaultAttributes(); });
}

bool QelSTC::ProcessEvent(wxEvent& event)
{
    // Returning here is the one way to keep a key from the control's own
    // handlers (Ctrl+L cuts a line there) and still let the toolkit go on
    // with it: to a character event and to the window's menus.
    const wxEventType type = event.GetEventType();
    if ((type == wxEVT_KEY_DOWN || type == wxEVT_CHAR)
        && m_vi.LeavesToWindow(static_cast<const wxKeyEvent&>(event)))
        return false;
    return wxStyledTextCtrl::ProcessEvent(event);
}

void QelSTC::BindEvents()
{
    Bind(wxEVT_CHAR, &QelSTC::OnChar, this);
    Bind(wxEVT_IDLE, &QelSTC::OnIdle, this);
    Bind(wxEVT_KEY_DOWN, &QelSTC::OnKeyDown, this);
    Bind(wxEVT_KEY_UP, &QelSTC::OnKeyUp, this);

    for (const auto type :
         {wxEVT_FIND, wxEVT_FIND_NEXT, wxEVT_FIND_REPLACE, wxEVT_FIND_REPLACE_ALL})
        Bind(type, &QelSTC::OnFindDialog, this);

    for (const int id : {int(ID_EDIT_FIND_NEXT), int(ID_EDIT_FIND_PREVIOUS), int(wxID_DELETE),
                         int(wxID_JUMP_TO), int(wxID_SELECTALL)})
        Bind(wxEVT_MENU, &QelSTC::OnCommand, this, id);
    Bind(wxEVT_MENU, &QelSTC::OnCommand, this, ID_EDIT_STC_LOWEST, ID_EDIT_STC_HIGHEST);
    Bind(wxEVT_MENU, &QelSTC::OnCommand, this, wxID_CUT, wxID_CLEAR);
    Bind(wxEVT_MENU, &QelSTC::OnCommand, this, wxID_UNDO, wxID_REDO);

    for (const auto type : {wxEVT_STC_CHARADDED, wxEVT_STC_DWELLEND, wxEVT_STC_MARGINCLICK})
        Bind(type, &QelSTC::OnStyledText, this);
    Bind(wxEVT_STC_MODIFIED, &QelSTC::OnModified, this);
    Bind(wxEVT_STC_DO_DROP, &QelSTC::OnDrop, this);
    Bind(wxEVT_STC_PAINTED, &QelSTC::OnPainted, this);
    Bind(wxEVT_STC_ZOOM, [this](wxStyledTextEvent& event) {
        event.Skip();
        FitLineNumberMargin(true); // the numbers' font changed size
    });
    // The timer is its own owner: its events go to it, not to the control.
    m_TypedFindTimer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
        if (FindSlices()) m_TypedFindTimer.StartOnce(1);
    });

    BindCommandEvents();
}

bool QelSTC::Open(const QelFileName& filename, int line_number, const wxString& match, long flags)
{
    if (line_number > 0 && GetFileName() == filename) {
        GotoLineAndSelect(line_number, match);
        PropertiesMessage();
        return true;
    }

    // The load reads the flags (a dump or text); they stay only when it worked.
    const long previous_flags = m_Flags;
    m_Flags = flags;

    if (!m_File.FileLoad(filename)) {
        m_Flags = previous_flags;
        QelFrame::StatusText(wxEmptyString, "PaneInfo");
        return false;
    }

    SetName(GetFileName().GetFullPath());

    if (line_number >= 1) {
        GotoLineAndSelect(line_number, match);
    } else if (line_number == -1) {
        if (match.empty())
            DocumentEnd();
        else
            FindNext(match, 0, false);
    } else if (!match.empty()) {
        FindNext(match, 0, true);
    }

    return true;
}

void QelSTC::PropertiesMessage(long flags)
{
    QelLogStatus(GetFileName(), flags);

    if (flags != STAT_SYNC) {
        QelFrame::UpdateStatusBar(this, "PaneFileType");
        QelFrame::UpdateStatusBar(this, "PaneLexer");
    }

    QelFrame::UpdateStatusBar(this, "PaneInfo");
}

void QelSTC::GuessType()
{
    if (!(m_Flags & EDITOR_HEX)) {
        // Raw bytes: the text getters give nothing for a Latin-1 start.
        const int length = GetTextLength();
        const int size = std::min(length, 256);
        const wxCharBuffer raw = GetTextRangeRaw(0, size);
        const std::string sample(raw.data(), std::min<size_t>(raw.length(), size));

        if (const wxString options = QelModeLineOptions(sample); !options.empty())
            m_vi.ApplyModeLine(options);

        const int eol = QelGuessEOLMode(sample, length > size);
        if (eol < 0) return;
        SetEOLMode(eol);
    }

    QelFrame::UpdateStatusBar(this, "PaneFileType");
}

bool QelSTC::SetLexer(const wxString& lexer, bool fold)
{
    if (lexer.empty() && m_LongLines) {
        ShowLongLines();
        return true;
    }
    m_FoldLine = -1; // the levels to fold by are the new lexer's
    const bool applied = m_Lexer.ApplyLexer(lexer, this, false, fold);
    ApplyUseTabs();
    if (!applied) return false;

    if (fold) Fold(false);
    if (lexer == "diff") SetEdgeMode(wxSTC_EDGE_NONE);

    QelFrame::StatusText(m_Lexer.GetScintillaLexer(), "PaneLexer");
    return true;
}

void QelSTC::ShowLongLines()
{
    // The control scans the run of one style that holds what it draws from
    // its start, at every paint and caret blink: one run as long as the line
    // costs the whole line each time. No lexer then (a string or a comment of
    // a megabyte is one run), and runs of alternately style 0 and the default
    // style, which look the same without a lexer.
    constexpr int kRun = 4096;
    m_LongLines = true;
    m_FoldLine = -1;
    m_Lexer = QelLexer();
    SetLexerLanguage(wxEmptyString);
    m_Lexer.Apply(this, true);
    ApplyUseTabs();
    QelFrame::StatusText(wxEmptyString, "PaneLexer");

    const int length = GetTextLength();
    StartStyling(0);
    for (int at = 0, style = 0; at < length; style ^= wxSTC_STYLE_DEFAULT) {
        int end = std::min(length, at + kRun);
        // A run ends before a character, not inside one.
        while (end < length && (GetCharAt(end) & 0xC0) == 0x80) ++end;
        SetStyling(end - at, style);
        at = end;
    }
    // Only the caret's line is kept by default: a paint of the lines around
    // a long one, or the caret leaving it, would lay it out again.
    SetLayoutCache(wxSTC_CACHE_DOCUMENT);
}

void QelSTC::ApplyUseTabs()
{
    SetUseTabs(m_Lexer.GetScintillaLexer() == "makefile"
               || wxConfigBase::Get(true)->ReadBool(_("Use tabs"), false));
}

void QelSTC::SetLexerProperty(const wxString& name, const wxString& value)
{
    m_Lexer.SetProperty(name, value);
    m_Lexer.Apply(this, true);
}

void QelSTC::SetText(const wxString& value)
{
    ClearDocument();
    const wxScopedCharBuffer bytes = value.utf8_str();

    // A text given (a command's output, a revision) is held to the weight
    // of a file read: a line too heavy to lay out in time shows it as a dump.
    QelLineWeight weight;
    weight.Add(bytes.data(), bytes.length());
    if (weight.Get() > QelEditorMaxLineWeight()) {
        m_Flags |= EDITOR_HEX;
        AddTextHexMode(0, bytes.data(), bytes.length());
        SetReadOnly(true);
        DocumentStart();
        EmptyUndoBuffer();
        wxLogError("%s",
                   _("Shown in hexadecimal: the text has a line too long for the editor "
                     "to lay out in time"));
        return;
    }

    const int mod_mask = GetModEventMask();
    SetModEventMask(0);
    AddTextRaw(bytes.data(), static_cast<int>(bytes.length()));
    SetModEventMask(mod_mask);
    // An editor that showed a heavy text as a dump (an output shown again)
    // shows this one as text, in the styles of its lexer.
    if (m_Flags & EDITOR_HEX) {
        m_Flags &= ~EDITOR_HEX;
        SetControlCharSymbol(0);
        SetLexer(m_Lexer.GetScintillaLexer(), true);
    }
    DocumentStart();
    EmptyUndoBuffer();
}

void QelSTC::ClearDocument()
{
    m_vi.LeaveInsertMode(); // an insert cannot go on into another document
    m_FoldLine = -1;
    if (m_LongLines) SetLayoutCache(wxSTC_CACHE_CARET); // the control's default
    m_LongLines = false;
    m_WeightBound = {};
    SetReadOnly(false);
    ClearAll();
    QelFrame::StatusText(wxEmptyString, "PaneInfo");
    EmptyUndoBuffer();
    SetSavePoint();
}

wxString QelSTC::GetEOL() const
{
    switch (GetEOLMode()) {
    case wxSTC_EOL_CR:
        return "\r";
    case wxSTC_EOL_LF:
        return "\n";
    case wxSTC_EOL_CRLF:
        return "\r\n";
    default:
        wxFAIL_MSG("unknown end of line mode");
        return "\r\n";
    }
}

void QelSTC::EOLModeUpdate(int eol_mode)
{
    if (GetReadOnly()) {
        wxLogStatus(_("Document is readonly"));
        return;
    }

    ConvertEOLs(eol_mode);
    SetEOLMode(eol_mode);
    QelFrame::UpdateStatusBar(this, "PaneFileType");
}

bool QelSTC::FileReadOnlyAttributeChanged()
{
    if (!(m_Flags & EDITOR_HEX)) {
        SetReadOnly(GetFileName().GetStat().IsReadOnly());
        wxLogStatus(_("Readonly attribute changed"));
    }
    return true;
}

void QelSTC::PositionSave()
{
    m_SavedPos = GetCurrentPos();
    m_SavedSelectionStart = GetSelectionStart();
    m_SavedSelectionEnd = GetSelectionEnd();
}

void QelSTC::PositionRestore()
{
    if (m_SavedSelectionStart != -1 && m_SavedSelectionEnd != -1)
        SetSelection(m_SavedSelectionStart, m_SavedSelectionEnd);
    else
        SetSelection(m_SavedPos, m_SavedPos);

    SetCurrentPos(m_SavedPos);
    EnsureCaretVisible();
}

void QelSTC::ResetMargins(bool divider_margin)
{
    SetMarginWidth(m_MarginFoldingNumber, 0);
    m_LineNumberWidth = 0;
    SetMarginWidth(m_MarginLineNumber, 0);
    if (divider_margin) SetMarginWidth(m_MarginDividerNumber, 0);
}

void QelSTC::OnChar(wxKeyEvent& event)
{
    m_DeletedAt = -1; // a key of its own
    const bool pass = m_vi.OnChar(event);

    if (!pass) return;

    if (GetReadOnly() && wxIsalnum(event.GetUnicodeKey())) {
        wxLogStatus(_("Document is readonly"));
        return;
    }

    // A character typed over a selection takes its place, and typed over
    // a character that one: weighed before the control deletes anything.
    const wxChar typed = event.GetUnicodeKey();
    const int from = GetSelectionStart();
    int to = GetSelectionEnd();
    if (from == to && GetOvertype() && to < GetLineEndPosition(GetCurrentLine()))
        to = PositionAfter(to);
    if (from != to && typed >= ' ' && !SelectionIsRectangle() && GetSelections() == 1
        && !KeepsLinesLight(from, to, wxString(typed).utf8_string()))
        return;

    if (!m_vi.GetIsActive()) CheckAutoComp(typed);

    event.Skip();
}

void QelSTC::OnKeyDown(wxKeyEvent& event)
{
    m_DeletedAt = -1; // a key of its own
    // Alt with a letter belongs to the menu bar's mnemonics: the control does
    // not type it, and consuming it here would keep it from the menus.
    if (event.GetModifiers() == wxMOD_ALT) {
        event.Skip();
        return;
    }

    if (m_vi.GetIsActive() && !m_vi.OnKeyDown(event)) return;

    // Control or Shift alone types and commands nothing here: left to the
    // toolkit, it would go on to GTK's look-up of key bindings.
    if (event.GetKeyCode() == WXK_CONTROL || event.GetKeyCode() == WXK_SHIFT) return;

    if (event.GetKeyCode() == WXK_RETURN && SmartIndentation()) return;

    // The control's own paste and deletions of these keys would make a line
    // too heavy before anything could refuse it.
    if (const int command = EditingCommandOfKey(event); command != 0 && !GetReadOnly()) {
        if (command == wxSTC_CMD_PASTE) {
            Paste();
            return;
        }
        if (!CommandKeepsLinesLight(command)) return;
    }

    event.Skip();
}

void QelSTC::FitLineNumberMargin(bool force)
{
    // Loads and reloads fill the document without telling each change, so
    // the line count is looked at when idle as well.
    const int digits = static_cast<int>(std::to_string(GetLineCount()).size());
    if (!force && digits == m_LineNumberDigits) return;
    m_LineNumberDigits = digits;
    const int width = m_LineNumberWidth <= 0
        ? 0
        : std::max(m_LineNumberWidth,
                   TextWidth(wxSTC_STYLE_LINENUMBER, "_" + wxString('9', digits)));
    if (GetMarginWidth(m_MarginLineNumber) != width) SetMarginWidth(m_MarginLineNumber, width);
}

void QelSTC::OnIdle(wxIdleEvent& event)
{
    event.Skip();

    // Idle events reach the hundreds of pages not shown too: they fit their
    // margin and check their files when they are shown again.
    if (!IsShownOnScreen()) return;

    FitLineNumberMargin(false);
    FollowFile();
}

void QelSTC::FollowFile()
{
    // The read-only state before the check: a reload sets it from the
    // file's attribute, which is the change to be told.
    const bool was_read_only = GetReadOnly();

    if (!m_File.CheckSyncIfDue() || (m_Flags & EDITOR_READ_ONLY)) return;

    const QelStat& stat = GetFileName().GetStat();
    if (stat.IsOk() && stat.IsReadOnly() != was_read_only) FileReadOnlyAttributeChanged();
}

void QelSTC::OnStyledText(wxStyledTextEvent& event)
{
    const wxEventType type = event.GetEventType();

    if (type == wxEVT_STC_CHARADDED) {
        MarkerAddChange(GetCurrentLine());
        m_vi.OnCharAdded(event.GetKey());
    } else if (type == wxEVT_STC_DWELLEND) {
        if (CallTipActive()) CallTipCancel();
    } else if (type == wxEVT_STC_MARGINCLICK) {
        if (event.GetMargin() != m_MarginFoldingNumber) return;
        const int line = LineFromPosition(event.GetPosition());
        if (GetFoldLevel(line) & wxSTC_FOLDLEVELHEADERFLAG) ToggleFold(line);
    } else {
        event.Skip();
    }
}

void QelSTC::OnModified(wxStyledTextEvent& event)
{
    // The check of an insertion is the editor's alone: nothing above it
    // asks, and it would travel up every parent for each insertion.
    if (event.GetModificationType() & wxSTC_MOD_INSERTCHECK) {
        CheckInsertion(event);
        return;
    }
    event.Skip();
    FollowLineWeight(event);

    if (m_FoldLine >= 0 && event.GetLinesAdded() != 0)
        ShiftFoldLines(LineFromPosition(event.GetPosition()), event.GetLinesAdded());
}

void QelSTC::OnPainted(wxStyledTextEvent& event)
{
    event.Skip();
    // Painting styled the lines shown: what they start may fold now.
    if (m_FoldLine >= 0) FoldStyled();
}

int QelGuessEOLMode(const std::string& sample, bool truncated)
{
    if (sample.find("\r\n") != std::string::npos) return wxSTC_EOL_CRLF;
    if (sample.find('\n') != std::string::npos) return wxSTC_EOL_LF;

    const size_t cr = sample.find('\r');
    if (cr == std::string::npos || (truncated && cr + 1 == sample.size())) return -1;
    return wxSTC_EOL_CR;
}

wxString QelModeLineOptions(const std::string& sample)
{
    for (size_t at = sample.find("vi:"); at != std::string::npos; at = sample.find("vi:", at + 1)) {
        size_t pos = at + 3;
        while (pos < sample.size() && sample[pos] == ' ') ++pos;
        if (sample.compare(pos, 4, "set ") != 0) continue;

        pos += 4;
        const size_t end = sample.find_first_of("\r\n", pos);
        const std::string options = sample.substr(pos, end == std::string::npos ? end : end - pos);
        // Options are plain ASCII; anything else is not an option of ours.
        return wxString::From8BitData(options.data(), options.size()).Strip(wxString::both);
    }
    return wxEmptyString;
}
