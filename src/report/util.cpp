#include <qelkit/report/util.h>

#include <wx/app.h>
#include <wx/aui/auibook.h>
#include <wx/config.h>
#include <wx/dir.h>
#include <wx/log.h>
#include <wx/regex.h>
#include <wx/weakref.h>

#include <qelkit/defs.h>
#include <qelkit/file.h>
#include <qelkit/filedlg.h>
#include <qelkit/listitem.h>
#include <qelkit/listview.h>
#include <qelkit/process.h>
#include <qelkit/report/frame.h>
#include <qelkit/report/process.h>
#include <qelkit/report/textfile.h>
#include <qelkit/status.h>
#include <qelkit/tool.h>
#include <qelkit/yieldingrun.h>

namespace {

// Closes one project page after the save question; false when the user
// cancelled or the notebook kept the page.
bool ClosePage(wxAuiNotebook* notebook, size_t page)
{
    // A project is a list bound to its file; the cast crosses from the
    // window to that binding.
    auto* file = dynamic_cast<QelFile*>(notebook->GetPage(page));
    wxCHECK_MSG(file != nullptr, false, "a page that is no project");
    if (QelSaveIfChanged(notebook, file) == wxID_CANCEL) return false;
    return notebook->DeletePage(page);
}

} // namespace

bool QelForEach(wxAuiNotebook* notebook, int id, const wxFont& font)
{
    for (size_t page = notebook->GetPageCount(); page-- > 0;) {
        auto* list = dynamic_cast<QelListView*>(notebook->GetPage(page));
        wxCHECK_MSG(list != nullptr, false, "a page that is no list");
        switch (id) {
        case ID_LIST_ALL_SET_FONT:
            if (font.IsOk()) list->SetFont(font);
            list->ItemsUpdate();
            break;
        case ID_LIST_ALL_CLOSE:
            if (!ClosePage(notebook, page)) return false;
            break;
        default:
            wxFAIL;
        }
    }
    return true;
}

wxArrayString QelMakeArguments(const wxFileName& makefile)
{
    // The settings are command-line words the user wrote; the path is data
    // and stays one word whatever it holds.
    const wxConfigBase* config = wxConfigBase::Get();
    wxArrayString args = QelSplitCommand(config->Read("Make", "make"));
    for (const wxString& word : QelSplitCommand(config->Read("MakeSwitch", "-f")))
        args.push_back(word);
    args.push_back(makefile.GetFullPath());
    return args;
}

bool QelMake(QelFrameWithHistory* frame, const wxFileName& makefile)
{
    wxFileName file(makefile);
    file.MakeAbsolute();
    // The process refuses a second background run with a status text.
    return frame->GetProcess()->Execute(QelMakeArguments(file), wxEXEC_ASYNC,
                                        file.GetPath(wxPATH_GET_VOLUME))
        > 0;
}

QelFileStatistics QelRun(const QelListItem& item, const QelTool& tool)
{
    const QelFileName& filename = item.GetFileName();
    const wxString path = filename.GetFullPath();
    wxLogStatus("%s", path);
    if (wxFileName::FileExists(path)) return QelTextFileWithListView::Run(filename, tool);
    // Asked before the walk: its list may be closed while the walk lets the
    // event loop run.
    const bool one_of_many
        = item.GetListView() != nullptr && item.GetListView()->GetSelectedItemCount() > 1;
    // A folder row without patterns stands for all of its files.
    QelDirTool dir(tool, path, item.GetFileSpec().empty() ? "*" : item.GetFileSpec(),
                   wxDIR_FILES | wxDIR_DIRS | wxDIR_HIDDEN | wxDIR_NO_FOLLOW);
    if (dir.FindFiles() > 0 && tool.IsCount() && one_of_many)
        tool.Log(&dir.GetStatistics().GetElements());
    return dir.GetStatistics();
}

QelOtherVersions QelFindOtherVersions(const wxFileName& filename, bool yield)
{
    QelOtherVersions found;
    const wxString fullpath = filename.GetFullPath();
    static const wxRegEx version(QelVersionFolderPattern());
    size_t start = 0;
    size_t length = 0;
    // Lower-casing keeps every character in its place, so the offsets of the
    // match cut the path as it is written (file names are case-sensitive).
    if (!version.Matches(fullpath.Lower()) || !version.GetMatch(&start, &length)) {
        found.result = QelOtherVersions::Result::no_version;
        return found;
    }
    found.base = fullpath.substr(0, start);
    if (!found.base.EndsWith(wxFileName::GetPathSeparator()))
        found.base += wxFileName::GetPathSeparator();
    const wxString rest = fullpath.substr(start + length);

    wxDir dir;
    {
        const wxLogNull quiet;
        dir.Open(found.base);
    }
    if (!dir.IsOpened()) {
        found.result = QelOtherVersions::Result::no_folder;
        return found;
    }
    const wxDateTime own_time
        = filename.FileExists() ? filename.GetModificationTime() : wxDateTime();
    const wxString own_folder = filename.GetPath(wxPATH_GET_VOLUME);
    wxString name;
    const QelYieldingRun yielding;
    for (bool more = dir.GetFirst(&name, wxEmptyString, wxDIR_DIRS); more;
         more = dir.GetNext(&name)) {
        const wxFileName candidate(found.base + name + rest);
        if (candidate.FileExists()
            && candidate.GetPath(wxPATH_GET_VOLUME).CmpNoCase(own_folder) != 0
            && (!own_time.IsValid() || candidate.GetModificationTime() != own_time)) {
            found.files.push_back(candidate);
        }
        if (wxAppConsole* app = wxAppConsole::GetInstance(); yield && app != nullptr)
            app->Yield(true);
    }
    found.result
        = found.files.empty() ? QelOtherVersions::Result::none : QelOtherVersions::Result::found;
    return found;
}

bool QelFindOtherFileName(const wxFileName& filename, QelListView* listview)
{
    // The search lets the event loop run, and the list may be closed meanwhile.
    const wxWeakRef<QelListView> list(listview);
    const QelOtherVersions found = QelFindOtherVersions(filename, true);
    switch (found.result) {
    case QelOtherVersions::Result::no_version:
        wxLogStatus("%s", _("No version information found"));
        return false;
    case QelOtherVersions::Result::no_folder:
        wxLogStatus(_("Cannot open folder '%s'"), found.base);
        return false;
    case QelOtherVersions::Result::none:
        wxLogStatus("%s", _("No files found"));
        return false;
    case QelOtherVersions::Result::found:
        break;
    }
    if (!list) return false;
    for (const wxFileName& file : found.files) QelListItem(list, QelFileName(file)).Insert();
    return true;
}
