// The find-and-replace settings that every search of the application shares.
#pragma once

#include <list>
#include <set>

#include <wx/fdrepdlg.h>
#include <wx/regex.h>
#include <wx/string.h>

class wxCheckListBox;

// Extends the toolkit's find-and-replace data (find string, replace string,
// flag word wxFR_DOWN | wxFR_WHOLEWORD | wxFR_MATCHCASE) with a regular
// expression option, the histories of find and replace strings and the
// translated option labels, which are also their configuration keys.
// One process-wide instance: read from the configuration when first asked
// for, written back to it when deleted.
class QelFindReplaceData : public wxFindReplaceData {
public:
    // Writes histories and options to the configuration.
    ~QelFindReplaceData() override;

    QelFindReplaceData(const QelFindReplaceData&) = delete;
    QelFindReplaceData& operator=(const QelFindReplaceData&) = delete;

    // The instance, created (and read from the configuration) on demand.
    static QelFindReplaceData* Get(bool createOnDemand = true);
    // Installs `frd` (may be null) and returns the previous instance, which
    // the caller then owns; nothing is deleted.
    static QelFindReplaceData* Set(QelFindReplaceData* frd);

    // Options.
    bool MatchCase() const { return (GetFlags() & wxFR_MATCHCASE) != 0; }
    bool MatchWord() const { return (GetFlags() & wxFR_WHOLEWORD) != 0; }
    bool SearchDown() const { return (GetFlags() & wxFR_DOWN) != 0; }
    bool UseRegularExpression() const { return m_UseRegularExpression; }
    void SetMatchCase(bool value);
    // Turning whole word on turns the regular-expression option off.
    void SetMatchWord(bool value);
    void SetSearchDown(bool value);
    // Stores the option only: no recompile, whole word untouched.
    void SetUseRegularExpression(bool value) { m_UseRegularExpression = value; }
    // wxSTC_FIND_REGEXP | wxSTC_FIND_WHOLEWORD | wxSTC_FIND_MATCHCASE as set.
    int STCFlags() const;

    // Options by label (whole word, match case, regular expression); any
    // other label returns false and touches nothing.
    bool Get(const wxString& field, wxCheckListBox* clb, int item) const;
    bool Set(const wxString& field, bool value);

    // Strings and histories (newest first). The setters store the history
    // under its label; the find setters recompile the regular expression.
    void SetFindString(const wxString& value);
    void SetReplaceString(const wxString& value);
    // Takes the list as it is; the current string becomes its first entry,
    // the empty string for an empty list.
    void SetFindStrings(const std::list<wxString>& value);
    void SetReplaceStrings(const std::list<wxString>& value);
    const std::list<wxString>& GetFindStrings() const { return m_FindStrings; }
    const std::list<wxString>& GetReplaceStrings() const { return m_ReplaceStrings; }

    // The find string compiled when the option is on; not valid until the
    // find string is set with the option on, or when it did not compile.
    const wxRegEx& GetRegularExpression() const { return m_FindRegularExpression; }

    // "Searching for: <find>", with " replacing with: <replace>" when asked.
    wxString GetFindReplaceInfoText(bool replace = false) const;

    // Translated labels, also the configuration keys.
    const wxString& GetTextFindWhat() const { return m_TextFindWhat; }
    const wxString& GetTextMatchCase() const { return m_TextMatchCase; }
    const wxString& GetTextMatchWholeWord() const { return m_TextMatchWholeWord; }
    const wxString& GetTextRegEx() const { return m_TextRegEx; }
    const wxString& GetTextReplaceWith() const { return m_TextReplaceWith; }
    const wxString& GetTextSearchDown() const { return m_TextSearchDown; }

    // The option labels offered as check-list entries, in string order.
    const std::set<wxString>& GetInfo() const { return m_Info; }

private:
    QelFindReplaceData();
    void Load();
    void SetFlag(int flag, bool value);
    void SetFindRegularExpression();

    wxRegEx m_FindRegularExpression;
    bool m_UseRegularExpression = false;

    const wxString m_TextFindWhat;
    const wxString m_TextMatchCase;
    const wxString m_TextMatchWholeWord;
    const wxString m_TextRegEx;
    const wxString m_TextReplaceWith;
    const wxString m_TextSearchDown;

    std::list<wxString> m_FindStrings;
    std::list<wxString> m_ReplaceStrings;
    std::set<wxString> m_Info;

    static QelFindReplaceData* m_Self;
};
