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

// Opens the files that a wildcard matches, in the current working folder or
// in the folder that its path names ("src/*.c"); false when it matches none.
bool OpenMatches(QelFrame* frame, const wxString& pattern, long file_flags, int dir_flags)
{
    const size_t slash = pattern.find_last_of(wxFileName::GetPathSeparators());
    wxString folder = wxGetCwd();
    if (slash != wxString::npos) {
        // Normalised as the names of files are, so that no file opens twice.
        wxFileName named = wxFileName::DirName(pattern.substr(0, slash + 1));
        named.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_TILDE | wxPATH_NORM_ABSOLUTE);
        folder = named.GetPath();
    }
    if (HasWildcard(folder) || !wxFileName::DirExists(folder)) return false;
    const wxString spec = slash == wxString::npos ? pattern : pattern.substr(slash + 1);
    QelDirOpenFile dir(frame, folder, spec, file_flags, dir_flags);
    return dir.FindFiles() > 0;
}

// Says once which wildcards of a request matched no file.
void ReportUnmatched(const wxArrayString& patterns)
{
    constexpr size_t kNamed = 3;
    if (patterns.size() == 1) {
        wxLogError(_("No file matches: %s"), patterns[0]);
        return;
    }
    wxString list = patterns[0];
    for (size_t i = 1; i < std::min(patterns.size(), kNamed); ++i) list += ", " + patterns[i];
    if (patterns.size() > kNamed) list += ", ...";
    wxLogError(_("No file matches %zu patterns: %s"), patterns.size(), list);
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
    wxArrayString unmatched;
    for (const auto& file : files) {
        if (file.empty()) continue; // never a file: it would name the working folder
        const QelOpenName open = QelParseOpenName(file, wxFileName::FileExists(file));
        if (open.kind == QelOpenName::Kind::wildcard) {
            if (!OpenMatches(frame, open.name, file_flags, dir_flags)) unmatched.push_back(file);
        } else {
            frame->OpenFile(AbsoluteName(open.name), open.line, wxEmptyString, file_flags);
        }
    }
    if (!unmatched.empty()) ReportUnmatched(unmatched);
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
