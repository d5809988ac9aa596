#include <qelkit/frd.h>

#include <wx/checklst.h>
#include <wx/config.h>
#include <wx/intl.h>
#include <wx/stc/stc.h>

#include <qelkit/util.h>

QelFindReplaceData* QelFindReplaceData::m_Self = nullptr;

QelFindReplaceData::QelFindReplaceData()
    : m_TextFindWhat(_("Find what"))
    , m_TextMatchCase(_("Match case"))
    , m_TextMatchWholeWord(_("Match whole word"))
    , m_TextRegEx(_("Regular expression"))
    , m_TextReplaceWith(_("Replace with"))
    , m_TextSearchDown(_("Search down"))
{
    m_Info.insert(m_TextMatchWholeWord);
    m_Info.insert(m_TextMatchCase);
    m_Info.insert(m_TextRegEx);
}

QelFindReplaceData::~QelFindReplaceData()
{
    // Deleted without being taken out first: leave no dangling instance.
    if (m_Self == this) m_Self = nullptr;

    wxConfigBase* cfg = wxConfigBase::Get();
    if (cfg == nullptr) return;

    QelListToConfig(m_FindStrings, m_TextFindWhat);
    QelListToConfig(m_ReplaceStrings, m_TextReplaceWith);
    cfg->Write(m_TextMatchCase, MatchCase());
    cfg->Write(m_TextMatchWholeWord, MatchWord());
    cfg->Write(m_TextRegEx, m_UseRegularExpression);
    cfg->Write(m_TextSearchDown, SearchDown());
}

QelFindReplaceData* QelFindReplaceData::Get(bool createOnDemand)
{
    if (m_Self == nullptr && createOnDemand) {
        // Installed before reading, so that anything the reading calls that
        // asks for the instance gets this one instead of making another.
        m_Self = new QelFindReplaceData();
        m_Self->Load();
    }
    return m_Self;
}

QelFindReplaceData* QelFindReplaceData::Set(QelFindReplaceData* frd)
{
    QelFindReplaceData* previous = m_Self;
    m_Self = frd;
    return previous;
}

void QelFindReplaceData::Load()
{
    wxConfigBase* cfg = wxConfigBase::Get();
    if (cfg == nullptr) return;

    int flags = 0;
    if (cfg->ReadBool(m_TextSearchDown, true)) flags |= wxFR_DOWN;
    if (cfg->ReadBool(m_TextMatchCase, false)) flags |= wxFR_MATCHCASE;
    if (cfg->ReadBool(m_TextMatchWholeWord, false)) flags |= wxFR_WHOLEWORD;
    SetFlags(flags);

    // Taken as stored: whole word and regular expression may both be on.
    SetUseRegularExpression(cfg->ReadBool(m_TextRegEx, false));

    m_FindStrings = QelListFromConfig(m_TextFindWhat);
    m_ReplaceStrings = QelListFromConfig(m_TextReplaceWith);

    // The current strings only: nothing is stored or compiled here.
    if (!m_FindStrings.empty()) wxFindReplaceData::SetFindString(m_FindStrings.front());
    if (!m_ReplaceStrings.empty()) wxFindReplaceData::SetReplaceString(m_ReplaceStrings.front());
}

void QelFindReplaceData::SetFlag(int flag, bool value)
{
    const int flags = GetFlags();
    SetFlags(value ? (flags | flag) : (flags & ~flag));
}

void QelFindReplaceData::SetMatchCase(bool value)
{
    SetFlag(wxFR_MATCHCASE, value);
}

void QelFindReplaceData::SetMatchWord(bool value)
{
    SetFlag(wxFR_WHOLEWORD, value);
    if (value) SetUseRegularExpression(false);
}

void QelFindReplaceData::SetSearchDown(bool value)
{
    SetFlag(wxFR_DOWN, value);
}

int QelFindReplaceData::STCFlags() const
{
    int flags = 0;
    if (m_UseRegularExpression) flags |= wxSTC_FIND_REGEXP;
    if (MatchWord()) flags |= wxSTC_FIND_WHOLEWORD;
    if (MatchCase()) flags |= wxSTC_FIND_MATCHCASE;
    return flags;
}

bool QelFindReplaceData::Get(const wxString& field, wxCheckListBox* clb, int item) const
{
    bool value;
    if (field == m_TextMatchWholeWord)
        value = MatchWord();
    else if (field == m_TextMatchCase)
        value = MatchCase();
    else if (field == m_TextRegEx)
        value = m_UseRegularExpression;
    else
        return false;

    wxCHECK_MSG(clb != nullptr, false, "no check list box");
    clb->Check(item, value);
    return true;
}

bool QelFindReplaceData::Set(const wxString& field, bool value)
{
    if (field == m_TextMatchWholeWord)
        SetMatchWord(value);
    else if (field == m_TextMatchCase)
        SetMatchCase(value);
    else if (field == m_TextRegEx)
        SetUseRegularExpression(value);
    else
        return false;
    return true;
}

void QelFindReplaceData::SetFindString(const wxString& value)
{
    wxFindReplaceData::SetFindString(value);
    m_FindStrings.remove(value);
    m_FindStrings.push_front(value);
    QelListToConfig(m_FindStrings, m_TextFindWhat);
    SetFindRegularExpression();
}

void QelFindReplaceData::SetReplaceString(const wxString& value)
{
    wxFindReplaceData::SetReplaceString(value);
    m_ReplaceStrings.remove(value);
    m_ReplaceStrings.push_front(value);
    QelListToConfig(m_ReplaceStrings, m_TextReplaceWith);
}

void QelFindReplaceData::SetFindStrings(const std::list<wxString>& value)
{
    m_FindStrings = value;
    wxFindReplaceData::SetFindString(value.empty() ? wxString() : value.front());
    QelListToConfig(m_FindStrings, m_TextFindWhat);
    SetFindRegularExpression();
}

void QelFindReplaceData::SetReplaceStrings(const std::list<wxString>& value)
{
    m_ReplaceStrings = value;
    wxFindReplaceData::SetReplaceString(value.empty() ? wxString() : value.front());
    QelListToConfig(m_ReplaceStrings, m_TextReplaceWith);
}

void QelFindReplaceData::SetFindRegularExpression()
{
    if (!m_UseRegularExpression) return;

    // A pattern that does not compile leaves the expression invalid; the
    // toolkit logs the pattern with the reason, and searches check IsValid().
    (void)m_FindRegularExpression.Compile(GetFindString(), MatchCase() ? wxRE_DEFAULT : wxRE_ICASE);
}

wxString QelFindReplaceData::GetFindReplaceInfoText(bool replace) const
{
    wxString text = _("Searching for") + ": " + GetFindString();
    if (replace) text << " " << _("replacing with") << ": " << GetReplaceString();
    return text;
}
