#include "edittools.h"

#include <cstdlib>

#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/textdlg.h>
#include <wx/utils.h>

#include <qelkit/header.h>
#include <qelkit/stc.h>

wxString AsciiTable(const wxString& eol)
{
    wxString table;
    for (int i = 1; i <= 255; ++i) {
        table << wxString::Format("%3d\t", i);
        switch (i) {
        case 9:
            table << "TAB";
            break;
        case 10:
            table << "LF";
            break;
        case 13:
            table << "CR";
            break;
        default:
            table << wxUniChar(i);
        }
        table << (i % 5 == 0 ? eol : wxString("\t"));
    }
    return table;
}

void FillAsciiTable(QelSTC* stc)
{
    stc->SetEdgeMode(wxSTC_EDGE_NONE);
    stc->SetViewEOL(false);
    stc->SetViewWhiteSpace(wxSTC_WS_INVISIBLE);
    stc->SetTabWidth(5);
    stc->AddText(AsciiTable(stc->GetEOL()));
    stc->EmptyUndoBuffer();
    stc->SetSavePoint();
    stc->SetReadOnly(true);
}

int HeaderInsertLine(const wxString& scintilla_lexer)
{
    return scintilla_lexer == "hypertext" ? 1 : 0;
}

bool InsertHeader(wxWindow* parent, QelSTC* stc)
{
    const wxString purpose = stc->GetSelectedText();
    const QelHeader header(purpose);
    if ((purpose.empty() || header.InfoNeeded())
        && header.ShowDialog(parent, _("File Purpose")) == wxID_CANCEL)
        return false;

    stc->GotoLine(HeaderInsertLine(stc->GetLexer().GetScintillaLexer()));
    // A purpose selected with bytes that are not UTF-8 goes back as those bytes.
    const std::string bytes = QelSTCBytes(header.Get(&stc->GetFileName()));
    stc->AddTextRaw(bytes.data(), static_cast<int>(bytes.size()));
    return true;
}

Sequence::Sequence(const wxString& start, const wxString& end)
    : m_Start(start)
    , m_End(end)
    , m_Ascending(start < end)
{
    if (start.length() != end.length()) {
        m_Error = _("Start and end sequence should have same length");
        return;
    }

    // A position that runs against the whole never meets its end: the
    // odometer would pass the end value and run on.
    long lines = 1;
    for (size_t p = 0; p < start.length(); ++p) {
        const long step = long(end[p].GetValue()) - long(start[p].GetValue());
        if (step != 0 && (step > 0) != m_Ascending) {
            m_Error = _("Start and end sequence do not run the same way");
            return;
        }
        if (__builtin_mul_overflow(lines, std::labs(step) + 1, &lines)) {
            m_Error = _("Sequence has too many lines");
            return;
        }
    }
    m_Lines = lines;
}

void Sequence::Generate(const std::function<void(const wxString& line)>& add) const
{
    if (m_Lines == 0) return;

    const int delta = m_Ascending ? 1 : -1;
    const size_t last = m_Start.length() - 1;
    wxString sequence = m_Start;

    for (long written = 1; written < m_Lines; ++written) {
        add(sequence);
        sequence[last] = wxUniChar(sequence[last].GetValue() + delta);
        for (size_t p = last; p > 0; --p) {
            const bool past = m_Ascending ? sequence[p] > m_End[p] : sequence[p] < m_End[p];
            if (!past) break;
            sequence[p - 1] = wxUniChar(sequence[p - 1].GetValue() + delta);
            sequence[p] = m_Start[p];
        }
    }
    add(m_End);
}

bool InsertSequence(wxWindow* parent, QelSTC* stc)
{
    // Offered again next time; the end starts as the first start given.
    static wxString start_previous;
    static wxString end_previous;
    static bool end_known = false;

    const wxString start = wxGetTextFromUser(_("Input") + ":", _("Start Of Sequence"),
                                             start_previous, parent, -1, -1, true);
    if (start.empty()) return false;
    start_previous = start;
    if (!end_known) {
        end_previous = start;
        end_known = true;
    }

    const wxString end = wxGetTextFromUser(_("Input") + ":", _("End Of Sequence"), end_previous,
                                           parent, -1, -1, true);
    if (end.empty()) return false;
    end_previous = end;

    const Sequence sequence(start, end);
    if (!sequence.GetError().empty()) {
        wxLogStatus(sequence.GetError());
        return false;
    }

    if (wxMessageBox(wxString::Format(_("Generate %ld lines"), sequence.GetLines()) + "?",
                     _("Confirm"), wxOK | wxCANCEL | wxICON_QUESTION, parent)
        != wxOK)
        return false;

    wxBusyCursor wait;
    const wxString eol = stc->GetEOL();
    wxString chunk;
    stc->BeginUndoAction();
    sequence.Generate([&](const wxString& line) {
        chunk << line << eol;
        if (chunk.length() > 65536) {
            stc->AddText(chunk);
            chunk.clear();
        }
    });
    stc->AddText(chunk);
    stc->EndUndoAction();
    return true;
}
