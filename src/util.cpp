#include <qelkit/util.h>

#include <climits>

#include <wx/combobox.h>
#include <wx/config.h>
#include <wx/dirctrl.h>
#include <wx/filename.h>
#include <wx/imaglist.h>
#include <wx/tokenzr.h>

#include <qelkit/lexer.h>
#include <qelkit/stat.h>

namespace {

wxConfigBase* Config()
{
    return wxConfigBase::Get();
}

} // namespace

wxUniChar QelGetFieldSeparator()
{
    return wxUniChar(11);
}

void QelListToConfig(const std::list<wxString>& l, const wxString& config)
{
    wxConfigBase* cfg = Config();
    if (cfg == nullptr) return;

    wxString value;
    for (const auto& item : l) value << item << QelGetFieldSeparator();
    cfg->Write(config, value);
}

std::list<wxString> QelListFromConfig(const wxString& config)
{
    std::list<wxString> l;
    wxConfigBase* cfg = Config();
    if (cfg == nullptr) return l;

    // The separator is white space to the tokenizer, so it works like strtok:
    // adjacent, leading and trailing separators give no empty item.
    wxStringTokenizer tkz(cfg->Read(config, wxEmptyString), wxString(QelGetFieldSeparator()));
    while (tkz.HasMoreTokens()) {
        const wxString item = tkz.GetNextToken();
        if (!item.empty()) l.push_back(item);
    }
    return l;
}

wxString QelConfigFirstOf(const wxString& key)
{
    wxConfigBase* cfg = Config();
    if (cfg == nullptr) return wxEmptyString;
    return cfg->Read(key, wxEmptyString).BeforeFirst(QelGetFieldSeparator());
}

void QelComboBoxFromList(wxComboBox* cb, const std::list<wxString>& text)
{
    if (text.empty()) return;
    wxCHECK_RET(cb != nullptr, "no combo box");

    cb->Clear();
    for (const auto& item : text) cb->Append(item);
    cb->SetValue(text.front());
}

std::list<wxString> QelComboBoxToList(const wxComboBox* cb, size_t max_items)
{
    wxCHECK_MSG(cb != nullptr, std::list<wxString>(), "no combo box");
    return QelHistoryList(cb->GetValue(), cb->GetStrings(), max_items);
}

std::list<wxString> QelHistoryList(const wxString& value, const wxArrayString& items,
                                   size_t max_items)
{
    // A history holds at least the value just used.
    if (max_items < 1) max_items = 1;

    std::list<wxString> l{value};
    const size_t count = items.GetCount();
    const int found = items.Index(value, true);

    if (found == wxNOT_FOUND) {
        for (size_t i = 0; i < count && i < max_items - 1; ++i) l.push_back(items[i]);
    } else if (found == 0) {
        for (size_t i = 1; i < count && i < max_items; ++i) l.push_back(items[i]);
    } else {
        // Moving a value up from inside the history keeps its length.
        for (const auto& item : items)
            if (item != value) l.push_back(item);
    }
    return l;
}

wxString QelQuoted(const wxString& text)
{
    return "'" + text + "'";
}

wxString QelEllipsed(const wxString& text, const wxString& control)
{
    wxString label = text + "...";
    if (!control.empty()) label << "\t" << control;
    return label;
}

wxString QelGetEndOfText(const wxString& text, size_t max_chars)
{
    if (text.length() <= max_chars) return text;
    // With room for dots the result is one character short of max_chars.
    if (max_chars > 4) return "..." + text.Right(max_chars - 4);
    return text.Right(max_chars);
}

int QelGetNumberOfLines(const wxString& text)
{
    if (text.empty()) return 0;

    const int crs = static_cast<int>(text.Freq('\r'));
    if (crs > 0) return crs + 1;
    return static_cast<int>(text.Freq('\n')) + 1;
}

int QelGetLineNumber(const wxString& text)
{
    const size_t colon = text.rfind(':');
    if (colon == wxString::npos) return 0;

    long line = 0;
    if (!text.Mid(colon + 1).ToLong(&line, 10)) return 0;
    // A number that an int cannot hold is no line number either.
    if (line < INT_MIN || line > INT_MAX) return 0;
    return static_cast<int>(line);
}

wxString QelSkipWhiteSpace(const wxString& text, const wxString& replace_with)
{
    // The replacement is taken literally, whatever characters it holds.
    static const wxString white(" \t\n\v\f\r");

    wxString result;
    result.reserve(text.length());
    bool in_run = false;
    for (const auto c : text) {
        if (white.find(c) != wxString::npos) {
            if (!in_run) result += replace_with;
            in_run = true;
        } else {
            result += c;
            in_run = false;
        }
    }
    return result.Trim(true).Trim(false);
}

wxString QelGetWord(wxString& text, bool use_other_field_separators, bool use_path_separator)
{
    wxString separators(" \t");
    if (use_other_field_separators) separators += ":";
    if (use_path_separator) separators = "/";

    wxStringTokenizer tkz(text, separators);
    if (!tkz.HasMoreTokens()) {
        text.clear();
        return wxEmptyString;
    }

    const wxString word = tkz.GetNextToken();
    text = tkz.GetString();
    text.Trim(false);
    return word;
}

wxString QelAlignText(const wxString& lines, const wxString& header, bool fill_out_with_space,
                      bool fill_out, const QelLexer& lexer)
{
    const size_t width = static_cast<size_t>(std::max(0, lexer.UsableCharactersPerLine()));
    const wxString indent(' ', header.length());

    wxString result;
    wxString line = header;
    wxString rest = lines;
    bool on_header_line = true;
    bool first_word = true;

    while (!rest.empty()) {
        const wxString word = QelGetWord(rest);
        if (line.length() + 1 + word.length() > width) {
            result << lexer.MakeSingleLineComment(line, fill_out_with_space, fill_out) << "\n";
            line = indent + word;
            on_header_line = false;
        } else {
            const bool directly = (on_header_line && first_word) || line.empty();
            if (!directly) line += ' ';
            line += word;
        }
        first_word = false;
    }

    result << lexer.MakeSingleLineComment(line, fill_out_with_space, fill_out);
    return result;
}

wxString QelTranslate(const wxString& text, int pageNum, int numPages)
{
    wxString translation(text);
    translation.Replace("@PAGENUM@", wxString::Format("%i", pageNum));
    translation.Replace("@PAGESCNT@", wxString::Format("%i", numPages));
    return translation;
}

int QelGetIconID(const wxFileName& filename)
{
    return QelGetIconID(filename, QelStat(filename.GetFullPath()));
}

int QelGetIconID(const wxFileName& filename, const QelStat& stat)
{
    if (stat.IsOk() && S_ISDIR(stat.st_mode)) return wxFileIconsTable::folder;
    if (!stat.IsOk() || !S_ISREG(stat.st_mode)) return wxFileIconsTable::computer;
    if (!filename.HasExt()) return wxFileIconsTable::file;
    return wxTheFileIconsTable->GetIconID(filename.GetExt());
}

wxBitmap QelGetIconBitmap(const wxFileName& filename)
{
    if (wxTheFileIconsTable == nullptr) return wxNullBitmap;
    return wxTheFileIconsTable->GetSmallImageList()->GetBitmap(QelGetIconID(filename));
}
