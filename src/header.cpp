#include <qelkit/header.h>

#include <utility>
#include <vector>

#include <wx/config.h>
#include <wx/datetime.h>
#include <wx/textctrl.h>

#include <qelkit/configdialog.h>
#include <qelkit/filename.h>
#include <qelkit/vcs.h>

namespace {

using Row = std::pair<wxString, wxString>; // fixed label, value

const wxString kPurposeLabel = "Purpose:   ";

// Whether the file had its last change today, or does not exist yet.
bool IsCreatedToday(const QelFileName& filename)
{
    const QelStat& stat = filename.GetStat();
    return !stat.IsOk() || wxDateTime(stat.st_mtime).IsSameDate(wxDateTime::Today());
}

bool HasKeywordExpansion(const QelFileName& filename)
{
    wxArrayString files;
    files.Add(filename.GetFullPath());
    return QelVCS(files, -1).GetEntry().SupportKeywordExpansion();
}

// A value inside a block comment must not close it: the end marker is
// broken by a blank after its first character.
wxString Defused(const wxString& value, const wxString& end)
{
    if (end.length() < 2) return value;
    wxString out(value);
    out.Replace(end, end.Left(1) + " " + end.Mid(1));
    return out;
}

wxString LineComments(const QelLexer& lexer, const std::vector<Row>& rows)
{
    const wxString separator = lexer.MakeComment(wxEmptyString, false, true) + "\n";
    wxString out = separator;
    for (const auto& [label, value] : rows) out << lexer.MakeComment(label, value) << "\n";
    return out + separator;
}

wxString BlockComment(const QelLexer& lexer, const std::vector<Row>& rows)
{
    const wxString& end = lexer.GetCommentEnd();
    wxString out = lexer.GetCommentBegin() + "\n";
    for (const auto& [label, value] : rows) {
        // The purpose is wrapped under its label over the full line width.
        if (label == kPurposeLabel)
            out << QelLexer().MakeComment(label, Defused(value, end)) << "\n";
        else
            out << label << Defused(value, end) << "\n";
    }
    return out + end + "\n";
}

} // namespace

QelHeader::QelHeader(const wxString& purpose, const wxString& author, const wxString& email,
                     const wxString& license)
    : m_TextAuthor(_("Author"))
    , m_TextEmail(_("Email"))
    , m_TextLicense(_("License"))
    , m_TextPurpose(_("Purpose"))
{
    Set(purpose, author, email, license);
}

void QelHeader::Set(const wxString& purpose, const wxString& author, const wxString& email,
                    const wxString& license) const
{
    for (const auto& [key, value] : {Row(m_TextPurpose, purpose), Row(m_TextAuthor, author),
                                     Row(m_TextEmail, email), Row(m_TextLicense, license)})
        if (!value.empty()) wxConfigBase::Get()->Write(key, value);
}

wxString QelHeader::Read(const wxString& key) const
{
    return wxConfigBase::Get()->Read(key, wxEmptyString);
}

bool QelHeader::InfoNeeded() const
{
    return Read(m_TextPurpose).empty() || Read(m_TextAuthor).empty();
}

int QelHeader::ShowDialog(wxWindow* parent, const wxString& title) const
{
    std::vector<QelConfigItem> items;
    items.emplace_back(m_TextPurpose, wxEmptyString, wxEmptyString, wxTE_MULTILINE, CONFIG_STRING,
                       true);
    if (Read(m_TextAuthor).empty()) {
        items.emplace_back(m_TextAuthor, wxEmptyString, wxEmptyString, 0, CONFIG_STRING, true);
        for (const wxString& key : {m_TextEmail, m_TextLicense})
            if (Read(key).empty())
                items.emplace_back(key, wxEmptyString, wxEmptyString, 0, CONFIG_STRING, false);
    }

    QelConfigDialog dlg(parent, items, title, 0, 1, wxOK | wxCANCEL, wxID_ANY, 0,
                        wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER, "QelConfigDialog");
    return dlg.ShowModal();
}

const wxString QelHeader::Get(const QelFileName* filename) const
{
    const wxString author = Read(m_TextAuthor);
    const wxString email = Read(m_TextEmail);
    const wxString license = Read(m_TextLicense);
    const wxDateTime now = wxDateTime::Now();

    std::vector<Row> rows{{"Name:      ", filename->GetFullName()},
                          {kPurposeLabel, Read(m_TextPurpose)},
                          {"Author:    ", author}};
    if (IsCreatedToday(*filename)) rows.emplace_back("Created:   ", now.FormatISODate());
    // Two literals, so that this source does not expand the keyword itself.
    if (HasKeywordExpansion(*filename)) rows.emplace_back("RCS-ID:    $", "Id$");
    rows.emplace_back("Copyright: ",
                      "(c) " + now.Format("%Y") + " " + author
                          + (email.empty() ? wxString() : " <" + email + ">"));
    if (!license.empty()) rows.emplace_back("License:   ", license);

    const QelLexer& lexer = filename->GetLexer();
    wxString out
        = lexer.GetCommentEnd().empty() ? LineComments(lexer, rows) : BlockComment(lexer, rows);
    out << "\n";

    if (filename->GetExt() == "h" && filename->GetStat().st_size == 0) {
        const wxString guard = QelIncludeGuard(filename->GetName());
        out << "\n#if !defined (" << guard << ")\n#define " << guard << "\n#endif\n";
    }
    return out;
}

wxString QelIncludeGuard(const wxString& name)
{
    wxString guard = "__" + name + "_h";
    for (auto it = guard.begin(); it != guard.end(); ++it) {
        const wxUniChar c = *it;
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
            || c == '_';
        if (!ok) *it = '_';
    }
    return guard;
}
