// Commands of the editor control: the command handler, the context menu,
// the line-end menu, sorting lines, links and the clipboard overrides.
#include <qelkit/stc.h>

#include <algorithm>
#include <climits>

#include <wx/config.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/textbuf.h>
#include <wx/utils.h>
#include <wx/weakref.h>

#include <qelkit/filedlg.h>
#include <qelkit/frame.h>
#include <qelkit/lexers.h>
#include <qelkit/menu.h>
#include <qelkit/status.h>
#include <qelkit/util.h>
#include <qelkit/vcs.h>

#include "stcnumber.h"

namespace {

// The zoom levels that the control draws differently.
constexpr int kZoomMin = -10;
constexpr int kZoomMax = 20;

} // namespace

void QelSTC::BindCommandEvents()
{
    for (const int id : {int(ID_EDIT_OPEN_LINK), int(ID_EDIT_OPEN_BROWSER), int(wxID_FIND),
                         int(wxID_REPLACE), int(wxID_SORT_ASCENDING), int(wxID_SORT_DESCENDING)})
        Bind(wxEVT_MENU, &QelSTC::OnCommand, this, id);

    Bind(wxEVT_LEFT_UP, &QelSTC::OnMouse, this);
    Bind(wxEVT_RIGHT_UP, &QelSTC::OnMouse, this);
    Bind(wxEVT_STC_MACRORECORD, &QelSTC::OnMacroEvent, this);
    Bind(wxEVT_STC_CLIPBOARD_COPY, &QelSTC::OnClipboardCopy, this);
    Bind(wxEVT_STC_CLIPBOARD_PASTE, &QelSTC::OnClipboardPaste, this);
}

void QelSTC::Zoom(int step)
{
    m_Zoom = std::clamp(m_Zoom.value_or(GetZoom()) + step, kZoomMin, kZoomMax);
    SetZoom(*m_Zoom);
}

void QelSTC::OnCommand(wxCommandEvent& event)
{
    switch (event.GetId()) {
    case wxID_UNDO:
        Undo();
        break;
    case wxID_REDO:
        Redo();
        break;
    case wxID_CUT:
        Cut();
        break;
    case wxID_COPY:
        Copy();
        break;
    case wxID_PASTE:
        Paste();
        break;
    case wxID_SELECTALL:
        SelectAll();
        break;
    case wxID_DELETE:
        if (!GetReadOnly() && CommandKeepsLinesLight(wxSTC_CMD_CLEAR)) {
            Clear();
            MarkerAddChange(GetCurrentLine());
        }
        break;
    case wxID_FIND:
    case wxID_REPLACE:
        GetFindString(); // the selection becomes what the dialog looks for
        event.Skip();
        break;
    case wxID_JUMP_TO:
        GotoDialog();
        break;
    case wxID_SORT_ASCENDING:
    case wxID_SORT_DESCENDING:
        SortSelectionDialog(event.GetId() == wxID_SORT_ASCENDING);
        break;
    case ID_EDIT_FIND_NEXT:
        FindNext(true);
        break;
    case ID_EDIT_FIND_PREVIOUS:
        FindNext(false);
        break;
    case ID_EDIT_OPEN_LINK:
        if (!HasSelectedText())
            LinkOpen(GetTextAtCurrentPos(), GetLineNumberAtCurrentPos());
        else
            LinkOpen(GetSelectedText(), QelGetLineNumber(GetSelectedText()));
        break;
    case ID_EDIT_OPEN_BROWSER:
        wxLaunchDefaultBrowser(GetFileName().GetFullPath(), 0);
        break;
    case ID_EDIT_READ_FILE:
        m_File.Read(event.GetString());
        break;
    case ID_EDIT_COMPARE_RECENT: {
        // The search lets the event loop run, where this editor may be
        // closed: then nothing is compared.
        const wxWeakRef<QelSTC> self(this);
        const wxFileName file = GetFileName();
        if (wxFileName other; QelFindOtherFileName(file, &other) && self)
            QelCompareFile(file, other);
        break;
    }
    case ID_EDIT_CONTROL_CHAR:
        ControlCharDialog();
        break;
    case ID_EDIT_HEX_DEC_CALLTIP:
        HexDecCalltip(GetCurrentPos());
        break;
    case ID_EDIT_UPPERCASE:
    case ID_EDIT_LOWERCASE:
        if (event.GetId() == ID_EDIT_UPPERCASE)
            UpperCase();
        else
            LowerCase();
        TargetFromSelection();
        MarkTargetChange();
        break;
    case ID_EDIT_FOLD_TOGGLE: {
        const int line = GetCurrentLine();
        ToggleFold((GetFoldLevel(line) & wxSTC_FOLDLEVELHEADERFLAG) ? line : GetFoldParent(line));
        break;
    }
    case ID_EDIT_FOLD_ALL:
        FoldAll();
        break;
    case ID_EDIT_UNFOLD_ALL:
        m_FoldLine = -1; // nor does what is shown later fold
        wxStyledTextCtrl::FoldAll(wxSTC_FOLDACTION_EXPAND);
        break;
    case ID_EDIT_EOL_DOS:
        EOLModeUpdate(wxSTC_EOL_CRLF);
        break;
    case ID_EDIT_EOL_UNIX:
        EOLModeUpdate(wxSTC_EOL_LF);
        break;
    case ID_EDIT_EOL_MAC:
        EOLModeUpdate(wxSTC_EOL_CR);
        break;
    case ID_EDIT_HEX: {
        if (QelSaveIfChanged(this, &m_File) == wxID_CANCEL) break;
        Reload(m_Flags ^ EDITOR_HEX);
        QelFrame::UpdateStatusBar(this, "PaneFileType");
        break;
    }
    case ID_EDIT_MARKER_NEXT:
        MarkerNext(true);
        break;
    case ID_EDIT_MARKER_PREVIOUS:
        MarkerNext(false);
        break;
    case ID_EDIT_ZOOM_IN:
        Zoom(1);
        break;
    case ID_EDIT_ZOOM_OUT:
        Zoom(-1);
        break;
    default:
        wxFAIL_MSG("Assert failure");
    }
}

void QelSTC::OnMouse(wxMouseEvent& event)
{
    if (event.LeftUp()) {
        PropertiesMessage();
        event.Skip();
        if (m_Flags & EDITOR_HEX) {
            if (!CheckBraceHex(GetCurrentPos())) CheckBraceHex(GetCurrentPos() - 1);
        } else if (!CheckBrace(GetCurrentPos())) {
            CheckBrace(GetCurrentPos() - 1);
        }
        return;
    }

    if (m_MenuFlags == EDITOR_MENU_NONE) {
        event.Skip();
        return;
    }

    QelMenu menu(GetMenuStyle());
    BuildPopupMenu(menu);
    if (menu.GetMenuItemCount() > 0) PopupMenu(&menu);
}

long QelSTC::GetMenuStyle() const
{
    long style = 0;
    if (GetReadOnly()) style |= MENU_IS_READ_ONLY;
    if (HasSelectedText()) style |= MENU_IS_SELECTED;
    if (GetLength() == 0) style |= MENU_IS_EMPTY;
    if (CanPaste()) style |= MENU_CAN_PASTE;
    return style;
}

void QelSTC::BuildPopupMenu(QelMenu& menu)
{
    const bool selected = HasSelectedText();
    const bool read_only = GetReadOnly();

    if (m_MenuFlags & EDITOR_MENU_OPEN_LINK) {
        if (wxString filename; LinkOpen(GetTextAtCurrentPos(), 0, &filename)) {
            menu.AppendSeparator();
            menu.Append(ID_EDIT_OPEN_LINK, _("Open") + " " + filename);
        }
    }

    if (GetFileName().FileExists() && !selected) {
        // A file under version control gets its system's commands; any
        // other the comparator's recent version, when there is a comparator.
        if (QelVCS::DirExists(GetFileName())) {
            menu.AppendSeparator();
            menu.AppendVCS(GetFileName());
        } else if (!wxConfigBase::Get(true)->Read(_("Comparator"), wxEmptyString).empty()) {
            menu.AppendSeparator();
            menu.Append(ID_EDIT_COMPARE_RECENT, QelEllipsed(_("&Compare Recent Version")));
        }
    }

    const wxString lexer = m_Lexer.GetScintillaLexer();
    if (!selected && (lexer == "hypertext" || lexer == "xml")) {
        menu.AppendSeparator();
        menu.Append(ID_EDIT_OPEN_BROWSER, _("&Open In Browser"));
    }

    if (!m_vi.GetIsActive() && GetLength() > 0) {
        menu.AppendSeparator();
        menu.Append(wxID_FIND);
        if (!read_only) menu.Append(wxID_REPLACE);
    }

    menu.AppendSeparator();
    menu.AppendEdit(false);

    if (!read_only && selected) {
        auto* selection = new QelMenu(menu);
        selection->Append(ID_EDIT_UPPERCASE, _("&Uppercase") + "\tF11");
        selection->Append(ID_EDIT_LOWERCASE, _("&Lowercase") + "\tF12");
        if (QelGetNumberOfLines(GetSelectedText()) > 1) {
            auto* sort = new QelMenu(menu);
            sort->Append(wxID_SORT_ASCENDING);
            sort->Append(wxID_SORT_DESCENDING);
            selection->AppendSeparator();
            selection->AppendSubMenu(sort, _("&Sort"));
        }
        menu.AppendSeparator();
        menu.AppendSubMenu(selection, _("&Selection"));
    }

    if (!read_only && (CanUndo() || CanRedo())) {
        menu.AppendSeparator();
        if (CanUndo()) menu.Append(wxID_UNDO);
        if (CanRedo()) menu.Append(wxID_REDO);
    }

    // Toggling has no key of the editor's own (Ctrl+T is the frame's).
    if (!selected && GetProperty("fold") == "1" && m_Lexer.IsOk() && !lexer.empty()) {
        menu.AppendSeparator();
        menu.Append(ID_EDIT_FOLD_TOGGLE, _("&Toggle Fold"));
        menu.Append(ID_EDIT_FOLD_ALL, _("&Fold All Lines") + "\tF9");
        menu.Append(ID_EDIT_UNFOLD_ALL, _("&Unfold All Lines") + "\tF10");
    }
}

void QelSTC::AppendFileTypeItems(wxMenu& menu)
{
    menu.AppendCheckItem(ID_EDIT_EOL_DOS, "&DOS");
    menu.AppendCheckItem(ID_EDIT_EOL_MAC, "&MAC");
    menu.AppendCheckItem(ID_EDIT_EOL_UNIX, "&UNIX");
    menu.AppendSeparator();
    menu.AppendCheckItem(ID_EDIT_HEX, "&HEX");

    if (m_Flags & EDITOR_HEX)
        menu.Check(ID_EDIT_HEX, true);
    else if (const int eol = GetEOLMode(); eol >= 0 && eol <= 2)
        menu.FindItemByPosition(eol)->Check(true);
}

void QelSTC::FileTypeMenu()
{
    wxMenu menu;
    AppendFileTypeItems(menu);
    PopupMenu(&menu);
}

void QelSTC::SortSelectionDialog(bool sort_ascending, const wxString& caption)
{
    const int pos = GetCurrentPos();
    const long column
        = QelAskNumber(_("Input") + ":", wxEmptyString, caption,
                       pos - PositionFromLine(LineFromPosition(pos)) + 1, 1, INT_MAX, this);
    if (column > 0) SortSelection(sort_ascending, column);
}

bool QelSTC::SortSelection(bool sort_ascending, int column)
{
    if (GetReadOnly() || column < 1) return false;

    const int start_line = LineFromPosition(GetSelectionStart());
    const int start_pos = PositionFromLine(start_line);
    const int end_pos = PositionFromLine(LineFromPosition(GetSelectionEnd()));
    if (end_pos <= start_pos) return false;

    wxBusyCursor wait;

    // Bytes, not text: a Latin-1 selection has no text form to sort.
    const wxCharBuffer raw = GetTextRangeRaw(start_pos, end_pos);
    const std::string eol(GetEOL().utf8_str());
    const std::string sorted
        = QelSortLines(std::string(raw.data(), static_cast<size_t>(end_pos - start_pos)), eol,
                       static_cast<size_t>(column), sort_ascending);

    size_t lines = 0;
    for (size_t at = sorted.find(eol); at != std::string::npos; at = sorted.find(eol, at + 1))
        ++lines;

    SetTargetRange(start_pos, end_pos);
    ReplaceTargetRaw(sorted.data(), static_cast<int>(sorted.size()));
    SetSelection(start_pos, PositionFromLine(start_line + static_cast<int>(lines)));
    return true;
}

bool QelSTC::LinkOpen(const wxString& link_with_line, int line_number, wxString* filename)
{
    wxString link = link_with_line;
    if (link.AfterFirst(':').IsNumber()) link = link.BeforeFirst(':');

    if (link.empty() || wxFileName::IsPathSeparator(link.Last())) return false;

    wxFileName file(link);
    wxString fullpath;

    if (file.FileExists()) {
        file.MakeAbsolute();
        fullpath = file.GetFullPath();
    } else if (file.IsRelative()
               && file.MakeAbsolute(GetFileName().GetPath(wxPATH_GET_VOLUME | wxPATH_GET_SEPARATOR))
               && file.FileExists()) {
        fullpath = file.GetFullPath();
    }

    if (fullpath.empty()) fullpath = m_PathList.FindAbsoluteValidPath(link);
    if (fullpath.empty()) return false;

    if (filename != nullptr) {
        *filename = wxFileName(fullpath).GetFullName();
        return true;
    }

    return Open(QelFileName(fullpath), line_number, wxEmptyString, GetFlags() | EDITOR_FROM_LINK);
}

void QelSTC::Cut()
{
    if (!CommandKeepsLinesLight(wxSTC_CMD_CUT)) return;
    wxStyledTextCtrl::Cut();
    MarkerAddChange(GetCurrentLine());
}

bool QelSTC::CopyKept(int start, int end, const wxString& suffix) const
{
    return QelClipboardAdd(wxTextBuffer::Translate(GetTextRangeKept(start, end) + suffix));
}

std::string QelSTC::PasteBytes(const wxString& text) const
{
    wxString translated = wxTextBuffer::Translate(text, wxTextFileType_Unix);
    translated.Replace("\n", GetEOL());
    return QelSTCBytes(translated);
}

bool QelSTC::PasteWeighed()
{
    // The control's own paste for the parts of a rectangle or of many
    // selections, each checked as it goes in, and for a recording, which
    // keeps the paste and not its text.
    if (GetReadOnly() || SelectionIsRectangle() || GetSelections() > 1 || m_MacroIsRecording)
        return SendWeighed(wxSTC_CMD_PASTE);

    // The clipboard is read once: what is weighed is what goes in, as the
    // control pastes it, over the selection, one undo step, caret after it.
    m_DeletedAt = -1;
    const wxString text = [] {
        const wxLogNull quiet;
        return QelClipboardGet();
    }();
    if (text.empty()) {
        // Nothing to weigh: the control's paste, each insertion checked.
        SendMsg(wxSTC_CMD_PASTE);
        return true;
    }
    const std::string bytes = PasteBytes(text);
    const int start = GetSelectionStart();
    if (!KeepsLinesLight(start, GetSelectionEnd(), bytes)) return false;
    BeginUndoAction();
    TargetFromSelection();
    {
        const WeighedAhead weighed(*this);
        wxStyledTextCtrl::ReplaceTargetRaw(bytes.data(), static_cast<int>(bytes.size()));
    }
    EndUndoAction();
    GotoPos(start + static_cast<int>(bytes.size()));
    ChooseCaretX();
    return true;
}

void QelSTC::OnClipboardCopy(wxStyledTextEvent& event)
{
    // The control converts the bytes it copies, and gets nothing for a
    // selection holding a byte that is not UTF-8: such a selection goes as
    // the text that keeps its bytes, which paste turns back into them.
    if (event.GetString().empty() && HasSelectedText())
        event.SetString(wxTextBuffer::Translate(GetSelectedText()));
}

void QelSTC::OnClipboardPaste(wxStyledTextEvent& event)
{
    // The control would convert the characters that stand for bytes into
    // UTF-8 of their own; the bytes go in here, and the control adds nothing.
    const wxString& text = event.GetString();
    if (std::none_of(text.begin(), text.end(),
                     [](wxUniChar c) { return QelByteOfCharacter(c.GetValue()) != c.GetValue(); }))
        return;
    const std::string bytes = PasteBytes(text);
    AddTextRaw(bytes.data(), static_cast<int>(bytes.size()));
    event.SetString(wxEmptyString);
}

void QelSTC::Paste()
{
    const int line = GetCurrentLine();
    if (!PasteWeighed()) return;

    if (!QelLexers::Get(true)->MarkerIsLoaded(m_MarkerChange)) return;
    for (int i = line; i <= GetCurrentLine(); ++i) MarkerAddChange(i);
}

std::string QelSortLines(const std::string& text, const std::string& eol, size_t column,
                         bool ascending)
{
    std::vector<std::pair<std::string, std::string>> lines; // key, line with its end

    for (size_t begin = 0; begin < text.size();) {
        size_t end = eol.empty() ? std::string::npos : text.find(eol, begin);
        if (end == std::string::npos) end = text.size();
        if (end > begin) {
            const std::string line = text.substr(begin, end - begin);
            lines.emplace_back(column - 1 < line.size() ? line.substr(column - 1) : std::string(),
                               line + eol);
        }
        begin = end + eol.size();
    }

    std::stable_sort(lines.begin(), lines.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    if (!ascending) std::reverse(lines.begin(), lines.end());

    std::string sorted;
    sorted.reserve(text.size() + eol.size());
    for (const auto& line : lines) sorted += line.second;
    return sorted;
}
