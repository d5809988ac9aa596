#include <qelkit/status.h>

#include <unistd.h>

#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/clipbrd.h>
#include <wx/config.h>
#include <wx/dir.h>
#include <wx/log.h>
#include <wx/regex.h>
#include <wx/utils.h>

#include <qelkit/filename.h>
#include <qelkit/process.h>
#include <qelkit/util.h>
#include <qelkit/yieldingrun.h>

namespace {

// An executable regular file.
bool IsExecutable(const wxString& path)
{
    return wxFileName::FileExists(path) && access(path.fn_str(), X_OK) == 0;
}

// The program a command's first word names: a path when it holds a "/",
// else the first executable of that name in the folders of PATH. Empty when
// there is none.
wxString FindProgram(const wxString& word)
{
    if (word.Contains("/")) return IsExecutable(word) ? word : wxString();

    wxString path;
    if (!wxGetEnv("PATH", &path)) return wxString();

    for (const wxString& dir : wxSplit(path, ':', '\0')) {
        const wxString candidate = (dir.empty() ? wxString(".") : dir) + "/" + word;
        if (IsExecutable(candidate)) return candidate;
    }
    return wxString();
}

} // namespace

bool QelClipboardAdd(const wxString& text)
{
    wxClipboardLocker locker;
    if (!locker) return false;

    // The clipboard owns the data object from here on, also on failure.
    if (!wxTheClipboard->SetData(new wxTextDataObject(text))) return false;

    wxTheClipboard->Flush();
    return true;
}

const wxString QelClipboardGet()
{
    wxBusyCursor wait;
    wxClipboardLocker locker;

    if (!locker) {
        wxLogError("Cannot open clipboard");
        return wxEmptyString;
    }

    // GTK offers the text as UTF8_STRING or STRING; the data object reads both.
    if (!wxTheClipboard->IsSupported(wxDF_UNICODETEXT) && !wxTheClipboard->IsSupported(wxDF_TEXT)) {
        wxLogError("Clipboard format not supported");
        return wxEmptyString;
    }

    wxTextDataObject data;
    if (!wxTheClipboard->GetData(data)) {
        wxLogError("Cannot get clipboard data");
        return wxEmptyString;
    }
    return data.GetText();
}

void QelLogStatus(const wxFileName& fn, long flags)
{
    if (!fn.IsOk()) return;

    wxString text = (flags & STAT_FULLPATH) ? fn.GetFullPath() : fn.GetFullName();

    if (fn.Exists()) {
        const wxDateTime time = fn.GetModificationTime();
        if (time.IsValid()) {
            text << " " << ((flags & STAT_SYNC) ? _("Synchronized") : _("Modified")) << " "
                 << time.Format();
        }
    }

    wxLogStatus("%s", text);
}

void QelFindResult(const wxString& find_text, bool find_next, bool recursive)
{
    const wxString quoted = QelQuoted(QelSkipWhiteSpace(find_text, " "));

    if (recursive) {
        wxBell();
        wxLogStatus("%s", quoted + " " + _("not found"));
    } else {
        wxLogStatus("%s",
                    _("Searching for") + " " + quoted + " " + _("hit") + " "
                        + (find_next ? _("bottom") : _("top")));
    }
}

const wxString& QelVersionFolderPattern()
{
    // A separator (slash, vertical bar or backslash, the backslash escaped
    // for PCRE), lower-case letters or hyphens, digits, and up to three
    // groups of an optional dot and digits: /build990308, /release-2.9.2, /7.
    static const wxString pattern = "[/|\\\\][a-z-]*[0-9]+\\.?[0-9]*\\.?[0-9]*\\.?[0-9]*";
    return pattern;
}

bool QelFindOtherFileName(const wxFileName& filename, wxFileName* lastfile)
{
    const wxString fullpath = filename.GetFullPath();
    static const wxRegEx version(QelVersionFolderPattern());
    size_t start = 0;
    size_t len = 0;

    if (!version.Matches(fullpath.Lower()) || !version.GetMatch(&start, &len)) {
        wxLogStatus("%s", _("No version information found"));
        return false;
    }

    wxString base = fullpath.substr(0, start);
    if (!base.EndsWith(wxFileName::GetPathSeparator())) base += wxFileName::GetPathSeparator();
    const wxString tail = fullpath.substr(start + len);

    wxDir dir;
    {
        wxLogNull quiet;
        dir.Open(base);
    }
    if (!dir.IsOpened()) {
        wxLogError(_("Cannot open folder '%s'"), base);
        return false;
    }
    if (!filename.FileExists()) {
        wxLogError(_("File '%s' does not exist"), fullpath);
        return false;
    }

    const wxDateTime own = filename.GetModificationTime();
    const wxString ownFolder = filename.GetPath(wxPATH_GET_VOLUME);
    wxDateTime best(static_cast<time_t>(0));
    bool found = false;
    wxString name;

    const QelYieldingRun yielding;
    for (bool more = dir.GetFirst(&name, wxEmptyString, wxDIR_DIRS); more;
         more = dir.GetNext(&name)) {
        const wxFileName candidate(base + name + tail);
        if (candidate.FileExists()
            && candidate.GetPath(wxPATH_GET_VOLUME).CmpNoCase(ownFolder) != 0) {
            const wxDateTime time = candidate.GetModificationTime();
            if (time.IsValid() && own.IsValid() && time != own) {
                found = true;
                if (time > best) {
                    best = time;
                    *lastfile = candidate;
                }
            }
        }
        if (wxAppConsole* app = wxAppConsole::GetInstance()) app->Yield(true);
    }

    if (!found) wxLogStatus("%s", _("No files found"));
    return found;
}

bool QelCompareFile(const wxFileName& file1, const wxFileName& file2)
{
    const wxConfigBase* config = wxConfigBase::Get();
    const wxString comparator
        = config != nullptr ? config->Read(_("Comparator"), wxEmptyString) : wxString();
    if (comparator.empty()) return false;

    for (const wxFileName* file : {&file1, &file2}) {
        if (!file->FileExists()) {
            // A named pipe would keep the comparator waiting for a writer.
            if (file->Exists(wxFILE_EXISTS_ANY))
                wxLogError(_("Cannot compare '%s': not a regular file"), file->GetFullPath());
            else
                wxLogError(_("File '%s' does not exist"), file->GetFullPath());
            return false;
        }
    }

    const bool firstIsOlder = file1.GetModificationTime() < file2.GetModificationTime();
    const wxString older = (firstIsOlder ? file1 : file2).GetFullPath();
    const wxString newer = (firstIsOlder ? file2 : file1).GetFullPath();

    wxArrayString args = QelSplitCommand(comparator);
    const wxString program = args.empty() ? wxString() : FindProgram(args[0]);
    if (program.empty()) {
        wxLogError(_("Cannot start the comparator '%s'"), comparator);
        return false;
    }

    // Each path is one argument: nothing splits or unquotes it again; a name
    // that is not UTF-8 goes as its own bytes.
    args[0] = program;
    args.Add(older);
    args.Add(newer);

    if (wxExecute(QelCStrings(args).Get(), wxEXEC_ASYNC) == 0) {
        wxLogError(_("Cannot start the comparator '%s'"), comparator);
        return false;
    }

    wxLogStatus("%s", _("Compared") + ": \"" + older + "\" \"" + newer + "\"");
    return true;
}

const wxString QelPrintCaption(const wxFileName& filename)
{
    return filename.GetFullPath();
}

const wxString QelPrintHeader(const wxFileName& filename)
{
    if (filename.FileExists()) {
        return QelGetEndOfText(
            filename.GetFullPath() + " " + filename.GetModificationTime().Format(), 80);
    }
    return _("Printed") + ": " + wxDateTime::Now().Format();
}

const wxString QelPrintFooter()
{
    return _("Page @PAGENUM@ of @PAGESCNT@");
}
