// Small generators that write text into an editor: the character table of
// the "ASCIITABLE" pane, the file header and the sequence of the Edit menu.
// The texts are built by plain functions; the editor functions only ask
// and insert.
#pragma once

#include <functional>

#include <wx/string.h>

class QelSTC;
class wxWindow;

// Codes 1 to 255 as "%3d\t<character>", five to a line separated by tabs,
// each line ending in eol: 51 lines. Codes 9, 10 and 13 show TAB, LF and CR.
wxString AsciiTable(const wxString& eol);

// Fills the editor with the table, unchanged and read-only, with no long
// line marker, no line-end marks, no visible white space and tab width 5.
void FillAsciiTable(QelSTC* stc);

// The line a header goes in front of: the second line for the "hypertext"
// lexer (below the document type line), else the first.
int HeaderInsertLine(const wxString& scintilla_lexer);

// Inserts the file header for the editor's file, the purpose taken from the
// selection; asks first unless a selection is there and the author is
// known. False when the question was cancelled.
bool InsertHeader(wxWindow* parent, QelSTC* stc);

// A run of lines between two texts of one length, each position counting
// like an odometer wheel from its start character to its end character, the
// last position fastest. The pair is refused when the lengths differ, when
// a position runs against the whole (its end would never be reached), or
// when the line count does not fit in a long.
class Sequence {
public:
    Sequence(const wxString& start, const wxString& end);

    // Empty when the pair can be generated, else the message that refuses it.
    const wxString& GetError() const { return m_Error; }
    // The number of lines, start and end included; 0 when refused.
    long GetLines() const { return m_Lines; }

    // Calls add for every line in order, start first and end last; nothing
    // when refused.
    void Generate(const std::function<void(const wxString& line)>& add) const;

private:
    wxString m_Start;
    wxString m_End;
    wxString m_Error;
    long m_Lines = 0;
    bool m_Ascending = true;
};

// Asks for the start and the end (the answers are offered again next time),
// confirms the line count and inserts the lines at the caret. False when
// nothing was inserted.
bool InsertSequence(wxWindow* parent, QelSTC* stc);
