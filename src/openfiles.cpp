#include <qelkit/openfiles.h>

#include <algorithm>
#include <cstdlib>

#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/tokenzr.h>
#include <wx/wupdlock.h>

#include <qelkit/filedlg.h>
#include <qelkit/frame.h>
#include <qelkit/stc.h>

namespace {

bool HasWildcard(const wxString& name)
{
    return name.find_first_of("*?") != wxString::npos;
}

// The first ":" of the name's last component: a folder may hold colons too.
size_t LineColon(const wxString& name)
{
    const size_t slash = name.find_last_of(wxFileName::GetPathSeparators());
    return name.find(':', slash == wxString::npos ? 0 : slash + 1);
}

// The key of a page is the file's absolute normalised path, so one file is
// never opened under two names.
QelFileName AbsoluteName(const wxString& name)
{
    wxFileName filename(name);
    filename.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_TILDE | wxPATH_NORM_ABSOLUTE);
    return QelFileName(filename.GetFullPath());
}

enum class Matched { some, none, busy, stopped };

// Opens the files that a wildcard matches, in the current working folder or
// in the folder that its path names ("src/*.c").
Matched OpenMatches(QelFrame* frame, const wxString& pattern, long file_flags, int dir_flags)
{
    const size_t slash = pattern.find_last_of(wxFileName::GetPathSeparators());
    wxString folder = wxGetCwd();
    if (slash != wxString::npos) {
        // Normalised as the names of files are, so that no file opens twice.
        wxFileName named = wxFileName::DirName(pattern.substr(0, slash + 1));
        named.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_TILDE | wxPATH_NORM_ABSOLUTE);
        folder = named.GetPath();
    }
    if (HasWildcard(folder) || !wxFileName::DirExists(folder)) return Matched::none;
    // One folder scan runs at a time; this one may have been asked for while
    // another yields (a drop during the start's own scan).
    if (QelDir::GetIsBusy()) return Matched::busy;
    const wxString spec = slash == wxString::npos ? pattern : pattern.substr(slash + 1);
    QelDirOpenFile dir(frame, folder, spec, file_flags, dir_flags);
    const bool opened = dir.IsOpened();
    if (dir.FindFiles() > 0) return Matched::some;
    // A scan stopped early (the window closes) has not looked at every file.
    return opened && QelDir::Cancelled() ? Matched::stopped : Matched::none;
}

// Says once which names of a request were not opened, naming the first few.
void ReportNames(const wxString& one, const wxString& many, const wxArrayString& names)
{
    constexpr size_t kNamed = 3;
    if (names.size() == 1) {
        wxLogError(one, names[0]);
        return;
    }
    wxString list = names[0];
    for (size_t i = 1; i < std::min(names.size(), kNamed); ++i) list += ", " + names[i];
    if (names.size() > kNamed) list += ", ...";
    wxLogError(many, names.size(), list);
}

} // namespace

QelOpenName QelParseOpenName(const wxString& name, bool exists)
{
    // Names with "*" or "?" are legal on this system: an existing one is a file.
    if (HasWildcard(name) && !exists) return {QelOpenName::Kind::wildcard, name, 0};
    const size_t colon = LineColon(name);
    if (exists || colon == wxString::npos) return {QelOpenName::Kind::file, name, 0};
    const int line = std::atoi(name.substr(colon + 1).utf8_str().data());
    return {QelOpenName::Kind::file, name.substr(0, colon), line};
}

void QelOpenFiles(QelFrame* frame, const wxArrayString& files, long file_flags, int dir_flags)
{
    // One layout for all the pages, not one for each.
    wxWindowUpdateLocker frozen(frame);
    wxArrayString unmatched, refused;
    for (const auto& file : files) {
        if (file.empty()) continue; // never a file: it would name the working folder
        const QelOpenName open = QelParseOpenName(file, wxFileName::FileExists(file));
        if (open.kind != QelOpenName::Kind::wildcard) {
            frame->OpenFile(AbsoluteName(open.name), open.line, wxEmptyString, file_flags);
            continue;
        }
        const Matched matched = OpenMatches(frame, open.name, file_flags, dir_flags);
        // A stopped scan stops the request (the window closes, say), and
        // says nothing: whoever stopped it knows.
        if (matched == Matched::stopped) break;
        if (matched == Matched::none) unmatched.push_back(file);
        if (matched == Matched::busy) refused.push_back(file);
    }
    if (!unmatched.empty())
        ReportNames(_("No file matches: %s"), _("No file matches %zu patterns: %s"), unmatched);
    if (!refused.empty())
        ReportNames(_("Not opened while another folder scan runs: %s"),
                    _("%zu patterns not opened while another folder scan runs: %s"), refused);
}

wxArrayString QelOpenCommandNames(const wxString& text, const wxString& folder,
                                  wxArrayString* missing)
{
    wxArrayString names;
    wxStringTokenizer tokens(text, " \t\r\n", wxTOKEN_STRTOK);
    while (tokens.HasMoreTokens()) {
        const wxString token = tokens.GetNextToken();
        const wxFileName filename(token);
        if (HasWildcard(token) || folder.empty() || filename.IsAbsolute()) {
            names.push_back(HasWildcard(token) ? token : filename.GetFullPath());
            continue;
        }
        const wxString full = folder + wxFileName::GetPathSeparator() + token;
        if (wxFileName::FileExists(full)) {
            names.push_back(full);
            continue;
        }
        // "name:line" names an existing file by its part before the colon.
        const size_t colon = LineColon(full);
        if (colon != wxString::npos && wxFileName::FileExists(full.substr(0, colon))) {
            names.push_back(full);
        } else if (missing != nullptr) {
            missing->push_back(token);
        }
    }
    return names;
}

void QelOpenFilesDialog(QelFrame* frame, long style, const wxString& wildcards,
                        bool ask_for_continue, long file_flags, int dir_flags)
{
    const wxString caption = _("Select Files");
    QelSTC* stc = frame->GetSTC();
    if (stc == nullptr) {
        wxFileDialog dialog(frame, caption, wxEmptyString, wxEmptyString, wildcards, style);
        if (dialog.ShowModal() != wxID_CANCEL)
            QelOpenFiles(frame, QelFileDialogPaths(dialog), file_flags, dir_flags);
        return;
    }
    QelFileDialog dialog(frame, &stc->GetFile(), caption, wildcards, style);
    const int result = ask_for_continue ? dialog.ShowModalIfChanged(true) : dialog.ShowModal();
    if (result != wxID_CANCEL)
        QelOpenFiles(frame, QelFileDialogPaths(dialog), file_flags, dir_flags);
}

QelDirOpenFile::QelDirOpenFile(QelFrame* frame, const wxString& fullpath, const wxString& filespec,
                               long file_flags, int dir_flags)
    : QelDir(fullpath, filespec, dir_flags)
    , m_Frame(frame)
    , m_Flags(file_flags)
{ }

void QelDirOpenFile::OnFile(const wxString& file)
{
    m_Frame->OpenFile(QelFileName(file), 0, wxEmptyString, m_Flags);
}
