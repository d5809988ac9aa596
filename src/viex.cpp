// vi emulation: ex commands, line addresses and range operations.
#include <qelkit/vi.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <utility>
#include <vector>

#include <wx/config.h>
#include <wx/file.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/tokenzr.h>

#include <qelkit/process.h>
#include <qelkit/stc.h>

#include <qelkit/status.h>
#include <qelkit/util.h>

namespace {

// The start of a 0-based line; the document end for the line after the
// last one and beyond.
int LineStart(const wxStyledTextCtrl* stc, int line)
{
    return line >= stc->GetLineCount() ? stc->GetLength() : stc->PositionFromLine(line);
}

bool EndsWithLineEnd(const wxStyledTextCtrl* stc)
{
    const int last = stc->GetCharAt(stc->GetLength() - 1);
    return last == '\n' || last == '\r';
}

} // namespace

bool QelVi::ExecCommand(const wxString& command)
{
    if (!m_IsActive || command.empty()) return false;
    const int messages = m_MessageCount;
    const wxString argument
        = command.Contains(" ") ? command.AfterFirst(' ').Trim(false) : wxString();

    if (command == "$") {
        GotoLineAndSelect(GetLastLine());
    } else if (command == "close") {
        PostCommand(wxID_CLOSE);
    } else if (command == "d") {
        Delete(1);
    } else if (command.StartsWith("e")) {
        PostCommand(wxID_OPEN, argument);
    } else if (command == "n") {
        PostCommand(ID_DOCUMENT_NEXT);
    } else if (command == "prev") {
        PostCommand(ID_DOCUMENT_PREVIOUS);
    } else if (command == "q") {
        PostClose(true);
    } else if (command == "q!") {
        // Only this editor's changes are given up; the frame still asks
        // about every other modified document.
        m_STC->SetSavePoint();
        PostClose(true);
    } else if (command.StartsWith("r")) {
        PostCommand(ID_EDIT_READ_FILE, argument);
    } else if (command.StartsWith("set ")) {
        if (!DoCommandSet(command.Mid(4))) return false;
    } else if (command.StartsWith("w")) {
        if (argument.empty())
            PostCommand(wxID_SAVE);
        else
            PostCommand(wxID_SAVEAS, argument);
    } else if (command == "x") {
        PostCommand(wxID_SAVE);
        PostClose(true);
    } else if (command == "y") {
        Yank(1);
    } else if (command.EndsWith("=")) {
        const int line = ToLineNumber(command.BeforeLast('='));
        if (line == 0) return false;
        ShowViMessage(wxString::Format("%d", line));
        return true;
    } else if (command.StartsWith("!")) {
        if (!m_Process) m_Process = std::make_unique<QelProcess>();
        m_Process->Execute(command.AfterFirst('!'), 0, wxEmptyString);
    } else if (command.IsNumber()) {
        long line = 0;
        if (!command.ToLong(&line)) line = command.StartsWith("-") ? 1 : GetLastLine();
        GotoLineAndSelect(static_cast<int>(std::max(1L, std::min<long>(line, GetLastLine()))));
    } else {
        if (!DoCommandRange(":" + command)) {
            Bell();
            return false;
        }
        m_LastCommand = ":" + command;
        m_InsertText.clear();
    }
    // A result shown in the bar (the status bar hidden) stays there until
    // the next key; otherwise the bar closes on the command that ran.
    if (m_MessageCount == messages) HideViBar();
    return true;
}

bool QelVi::DoCommandRange(const wxString& command)
{
    const wxString text = command.AfterFirst(':');
    const size_t op_pos = text.find_first_of("dmsyw><");
    if (text.empty() || op_pos == wxString::npos) return false;
    const wxString range = text.Left(op_pos);
    const wxUniChar op = text[op_pos];
    const wxString argument = text.Mid(op_pos + 1);

    wxString begin, end;
    if (range == ".") {
        begin = end = ".";
    } else if (range == "%") {
        begin = "1";
        end = "$";
    } else {
        begin = range.BeforeFirst(',');
        end = range.AfterFirst(',');
    }
    if (begin.empty() || end.empty()) return false;

    switch (op.GetValue()) {
    case 'm':
        return Move(begin, end, argument);
    case '>':
        return Indent(begin, end, true);
    case '<':
        return Indent(begin, end, false);
    case 'd':
        return Delete(begin, end);
    case 'w':
        return Write(begin, end, argument);
    case 'y':
        return Yank(begin, end);
    default:
        break;
    }
    // "s/pattern/replacement/flags": what stands before the first "/" and
    // after the third is ignored.
    if (argument.empty()) return false;
    const wxString rest = argument.AfterFirst('/');
    const wxString pattern = rest.BeforeFirst('/');
    const wxString replacement = rest.AfterFirst('/').BeforeFirst('/');
    if (pattern.empty()) return false;
    return Substitute(begin, end, pattern, replacement);
}

int QelVi::ToLineNumber(const wxString& address) const
{
    wxString s = QelSkipWhiteSpace(address, "");
    long long marks = 0;
    for (size_t quote = s.find('\''); quote != wxString::npos; quote = s.find('\'')) {
        if (quote + 1 >= s.length()) {
            Bell();
            return 0;
        }
        const int mark = MarkLine(s[quote + 1]);
        if (mark == 0) {
            Bell();
            return 0;
        }
        // A sign right before the mark applies to it.
        if (quote > 0 && (s[quote - 1] == '-' || s[quote - 1] == '+')) {
            marks += s[quote - 1] == '-' ? -mark : mark;
            s.erase(quote - 1, 3);
        } else {
            marks += mark;
            s.erase(quote, 2);
        }
    }
    long long current = 0, last = 0, number = 0;
    if (s.Replace(".", "") > 0) current = m_STC->LineFromPosition(m_STC->GetCurrentPos()) + 1;
    if (s.Replace("$", "") > 0) last = GetLastLine();
    if (!s.empty()) {
        if (!s.IsNumber()) {
            Bell();
            return 0;
        }
        long value = 0;
        if (!s.ToLong(&value)) value = s.StartsWith("-") ? -MaxCount : MaxCount;
        number = std::max<long long>(-MaxCount, std::min<long long>(value, MaxCount));
        if (number == 0) {
            Bell();
            return 0;
        }
    }
    const long long sum = marks + current + last + number;
    return static_cast<int>(std::max<long long>(1, std::min<long long>(sum, GetLastLine())));
}

bool QelVi::GetLines(const wxString& begin, const wxString& end, int& b, int& e) const
{
    b = ToLineNumber(begin);
    e = b > 0 ? ToLineNumber(end) : 0;
    return b > 0 && e >= b;
}

bool QelVi::Indent(const wxString& begin, const wxString& end, bool forward)
{
    int b, e;
    if (IsReadOnly() || !GetLines(begin, end, b, e)) return false;
    IndentLines(b - 1, e - 1, forward);
    return true;
}

bool QelVi::Delete(const wxString& begin, const wxString& end)
{
    int b, e;
    if (IsReadOnly() || !GetLines(begin, end, b, e)) return false;
    const int before = m_STC->GetLineCount();
    CutLines(b - 1, e);
    DeleteAddressMarkers(begin, end);
    // The range as given: "." has moved with the cut.
    if (e > b) ShowViMessage(wxString::Format(_("%d fewer lines"), before - m_STC->GetLineCount()));
    return true;
}

bool QelVi::Yank(const wxString& begin, const wxString& end) const
{
    int b, e;
    if (!GetLines(begin, end, b, e)) return false;
    CopyLines(b - 1, e);
    const int lines = QelGetNumberOfLines(QelClipboardGet()) - 1;
    if (lines > 1) ShowViMessage(wxString::Format(_("%d lines yanked"), lines));
    return true;
}

bool QelVi::Move(const wxString& begin, const wxString& end, const wxString& destination)
{
    int b, e;
    if (IsReadOnly()) return false;
    const int d = ToLineNumber(destination);
    if (d == 0 || !GetLines(begin, end, b, e)) return false;
    DeleteAddressMarkers(begin, end);
    // Deleted and added again, the lines would leave their marks behind.
    const std::vector<std::pair<wxUniChar, int>> marks = TakeMarks(b - 1, e - 1);

    // The lines stay in memory on their way: a clipboard that another
    // program takes in between cannot lose them.
    m_STC->BeginUndoAction();
    const bool ended = EndLastLine();
    const int from = LineStart(m_STC, b - 1);
    const int to = LineStart(m_STC, e);
    const wxCharBuffer text = m_STC->GetTextRangeRaw(from, to);
    m_STC->DeleteRange(from, to - from);
    const int at = LineStart(m_STC, d - 1);
    m_STC->GotoPos(at);
    m_STC->SetTargetRange(at, at);
    m_STC->ReplaceTargetRaw(text.data(), to - from); // NUL bytes included
    const int moved_to = m_STC->LineFromPosition(at);
    for (const auto& [marker, line] : marks) PutMark(marker, moved_to + line - (b - 1));
    UnendLastLine(ended);
    m_STC->EndUndoAction();
    if (e > b) ShowViMessage(wxString::Format(_("%d lines moved"), e - b + 1));
    return true;
}

bool QelVi::Write(const wxString& begin, const wxString& end, const wxString& filename) const
{
    int b, e;
    if (!GetLines(begin, end, b, e)) return false;
    // Never over an existing file, the editor's own above all.
    const wxString name = wxString(filename).Trim(false);
    if (name.empty() || wxFileName::Exists(name)) return false;
    const int from = LineStart(m_STC, b - 1);
    const int to = LineStart(m_STC, e);
    const wxCharBuffer text = m_STC->GetTextRangeRaw(from, to);
    const char* bytes = text.data();
    size_t left = static_cast<size_t>(to - from);
    wxFile file;
    bool created = false, written = false;
    int error = 0;
    {
        // Its messages name the handle's descriptor, not the file.
        const wxLogNull quiet;
        errno = 0;
        created = file.Create(name, false);
        error = errno;
        if (created) {
            for (size_t n = 0; left > 0 && (n = file.Write(bytes, left)) > 0; left -= n) bytes += n;
            written = left == 0 && file.Close();
            error = file.GetLastError();
        }
    }
    if (written) return true;
    if (created) wxRemoveFile(name); // made here: no part of it stays
    if (error != 0)
        wxLogSysError(error, _("Cannot write file '%s'"), name);
    else
        wxLogError(_("Cannot write file '%s'"), name);
    return false;
}

bool QelVi::Substitute(const wxString& begin, const wxString& end, const wxString& pattern,
                       const wxString& replacement) const
{
    int b, e;
    if (IsReadOnly() || !GetLines(begin, end, b, e)) return false;
    const int count = m_STC->ReplaceAllInRange(LineStart(m_STC, b - 1), LineStart(m_STC, e),
                                               pattern, replacement, m_SearchFlags);
    ShowViMessage(wxString::Format(_("Replaced: %d occurrences of: %s"), count, pattern));
    return true;
}

int QelViTabStop(const wxString& option)
{
    const wxString name = option.BeforeFirst('=');
    if (name != "ts" && name != "tabstop") return 0;

    long value = 0;
    if (!option.AfterFirst('=').ToLong(&value) || value <= 0 || value > 1000) return 0;
    return static_cast<int>(value);
}

bool QelVi::DoCommandSet(const wxString& command)
{
    const int width = QelViTabStop(command.Strip(wxString::both));
    if (width == 0) {
        Bell();
        return false;
    }
    m_STC->SetTabWidth(width);
    wxConfigBase::Get()->Write(_("Tab width"), static_cast<long>(width));
    return true;
}

int QelVi::ApplyModeLine(const wxString& options)
{
    if (!m_IsActive) return 0;

    // vim's mode lines end their option list with ":" and may separate the
    // options by blanks or colons.
    int taken = 0;
    wxStringTokenizer tokens(options, " \t:");
    while (tokens.HasMoreTokens()) {
        if (const int width = QelViTabStop(tokens.GetNextToken()); width > 0) {
            m_STC->SetTabWidth(width);
            ++taken;
        }
    }
    return taken;
}

void QelVi::DeleteAddressMarkers(const wxString& begin, const wxString& end)
{
    for (const wxString& address : {begin, end})
        if (address.length() > 1 && address[0] == '\'') DeleteMarker(address[1]);
}

void QelVi::CopyLines(int first, int end) const
{
    // A last line without a line end goes as a whole line, as vim yanks it.
    const int from = LineStart(m_STC, first), to = LineStart(m_STC, end);
    const bool unended = to > from && to == m_STC->GetLength() && !EndsWithLineEnd(m_STC);
    m_STC->CopyKept(from, to, unended ? GetEOL() : wxString());
}

void QelVi::CutLines(int first, int end) const
{
    m_STC->BeginUndoAction();
    const bool ended = EndLastLine();
    m_STC->SetSelection(LineStart(m_STC, first), LineStart(m_STC, end));
    m_STC->Cut();
    UnendLastLine(ended);
    m_STC->EndUndoAction();
}

bool QelVi::EndLastLine() const
{
    if (m_STC->GetLength() == 0 || EndsWithLineEnd(m_STC)) return false;
    m_STC->AppendText(GetEOL());
    return true;
}

void QelVi::UnendLastLine(bool ended) const
{
    if (!ended || !EndsWithLineEnd(m_STC)) return;
    const int length = m_STC->GetLength();
    const bool crlf = length > 1 && m_STC->GetCharAt(length - 2) == '\r'
        && m_STC->GetCharAt(length - 1) == '\n';
    m_STC->DeleteRange(length - (crlf ? 2 : 1), crlf ? 2 : 1);
}
