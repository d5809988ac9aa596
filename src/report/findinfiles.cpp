// Find and replace in the files of a folder, and in a selection of files and
// folders: the dialogs that ask for the settings, and the runs that put
// every matching line into the frame's find or replace results list.
#include <qelkit/report/frame.h>

#include <wx/app.h>
#include <wx/config.h>
#include <wx/log.h>
#include <wx/regex.h>

#include <qelkit/configdialog.h>
#include <qelkit/frd.h>
#include <qelkit/report/textfile.h>
#include <qelkit/stc.h>
#include <qelkit/util.h>

namespace {

bool IsReplaceTool(int id)
{
    return id == ID_TOOL_REPLACE_IN_FILES;
}

// A regular expression that does not compile must not start a run: the
// scanner would refuse every file anyway.
bool IsFindValid(const QelFindReplaceData& frd)
{
    if (frd.GetFindString().empty()) return false;
    if (!frd.UseRegularExpression()) return true;
    wxRegEx re;
    bool ok;
    {
        wxLogNull quiet;
        ok = re.Compile(frd.GetFindString(), wxRE_DEFAULT);
    }
    if (!ok) {
        wxLogError(_("The find text %s is not a valid regular expression"),
                   QelQuoted(frd.GetFindString()));
    }
    return ok;
}

// Replace in files offers no whole word: what the last find left there must
// not narrow the run, nor be lost for the next find.
class WholeWordOff {
public:
    explicit WholeWordOff(bool off)
        : m_Restore(off && QelFindReplaceData::Get()->MatchWord())
    {
        if (m_Restore) SetWholeWord(false);
    }
    ~WholeWordOff()
    {
        if (m_Restore) SetWholeWord(true);
    }
    WholeWordOff(const WholeWordOff&) = delete;
    WholeWordOff& operator=(const WholeWordOff&) = delete;

private:
    // The flag alone: turning whole word on through the settings' setter
    // would turn the regular expression off.
    static void SetWholeWord(bool on)
    {
        QelFindReplaceData* frd = QelFindReplaceData::Get();
        const int flags = frd->GetFlags();
        frd->SetFlags(on ? flags | wxFR_WHOLEWORD : flags & ~wxFR_WHOLEWORD);
    }

    const bool m_Restore;
};

// The dialog items of the selection dialog and of the modeless ones.
QelConfigItem Combo(const wxString& label, bool required, int id = -1)
{
    return QelConfigItem(label, id == ID_BROWSE_FOLDER ? CONFIG_COMBOBOXDIR : CONFIG_COMBOBOX,
                         wxEmptyString, required, id);
}

} // namespace

wxString QelFrameWithHistory::GetFindInCaption(int id) const
{
    return IsReplaceTool(id) ? _("Replace In Selection") : _("Find In Selection");
}

void QelFrameWithHistory::CreateDialogs()
{
    const QelFindReplaceData* frd = QelFindReplaceData::Get();
    const QelConfigItem find_what = Combo(frd->GetTextFindWhat(), true);
    const QelConfigItem in_files = Combo(m_TextInFiles, true);
    const QelConfigItem in_folder = Combo(m_TextInFolder, true, ID_BROWSE_FOLDER);

    std::set<wxString> find_set = frd->GetInfo();
    find_set.insert(m_TextRecursive);
    std::set<wxString> replace_set = find_set;
    replace_set.erase(frd->GetTextMatchWholeWord());

    if (m_FiFDialog == nullptr) {
        m_FiFDialog
            = new QelConfigDialog(this, {find_what, in_files, in_folder, QelConfigItem(find_set)},
                                  _("Find In Files"), 0, 1, wxOK | wxCANCEL, ID_FIND_IN_FILES);
    }
    if (m_RiFDialog == nullptr) {
        m_RiFDialog = new QelConfigDialog(this,
                                          {find_what, Combo(frd->GetTextReplaceWith(), false),
                                           in_files, in_folder, QelConfigItem(replace_set)},
                                          _("Replace In Files"), 0, 1, wxOK | wxCANCEL,
                                          ID_REPLACE_IN_FILES);
    }
}

void QelFrameWithHistory::ShowFindInFilesDialog(int dialogid)
{
    QelConfigDialog*& dialog = dialogid == ID_REPLACE_IN_FILES ? m_RiFDialog : m_FiFDialog;
    if (dialog == nullptr) CreateDialogs();
    // The editor's find string takes a one-line selection into the settings.
    QelSTC* stc = GetSTC();
    if (stc != nullptr && !stc->GetFindString().empty()) dialog->Reload();
    dialog->Show();
    dialog->Raise();
}

void QelFrameWithHistory::OnCommandConfigDialog(int dialogid, int commandid)
{
    const bool ours
        = dialogid == wxID_ADD || dialogid == ID_FIND_IN_FILES || dialogid == ID_REPLACE_IN_FILES;
    if (!ours) {
        // Settings dialogs of the editor and the application.
        QelManagedFrame::OnCommandConfigDialog(dialogid, commandid);
        return;
    }

    switch (commandid) {
    case wxID_OK:
        // A project's add dialog is answered by the project that owns it.
        if (dialogid != wxID_ADD) FindInFiles(dialogid);
        break;
    case wxID_CANCEL:
        if (QelToolRun::IsBusy() || QelDir::GetIsBusy()) {
            QelToolRun::Cancel();
            wxLogStatus(_("Cancelled"));
        }
        break;
    default:
        wxFAIL;
    }
}

void QelFrameWithHistory::FindInFiles(int dialogid)
{
    wxCHECK_RET(dialogid == ID_FIND_IN_FILES || dialogid == ID_REPLACE_IN_FILES, "no find dialog");
    const bool replace = dialogid == ID_REPLACE_IN_FILES;
    const QelTool tool(replace ? ID_TOOL_REPLACE_IN_FILES : ID_TOOL_FIND_IN_FILES);
    const QelFindReplaceData* frd = QelFindReplaceData::Get();
    // A second OK while a run goes on (the dialog is modeless) is refused.
    if (QelToolRun::IsBusy() || QelDir::GetIsBusy()) {
        wxLogStatus(_("A tool is running"));
        return;
    }
    if (!IsFindValid(*frd)) return;

    const WholeWordOff whole_word_off(replace);
    const QelToolRun run(tool, this);
    if (!run.IsOk()) return;
    wxLogStatus(frd->GetFindReplaceInfoText(replace));

    int flags = wxDIR_FILES | wxDIR_HIDDEN | wxDIR_NO_FOLLOW;
    if (wxConfigBase::Get()->ReadBool(m_TextRecursive, true)) flags |= wxDIR_DIRS;

    // The list page and the status text show before the walk begins.
    if (wxTheApp != nullptr) wxTheApp->Yield(true);
    QelDirTool dir(tool, QelConfigFirstOf(m_TextInFolder), QelConfigFirstOf(m_TextInFiles), flags);
    if (!run.IsCancelled()) dir.FindFiles();
    if (run.IsCancelled()) {
        wxLogStatus(_("Cancelled"));
        return;
    }
    tool.Log(&dir.GetStatistics().GetElements());
}

int QelFrameWithHistory::FindInSelectionDialog(int id, bool add_in_files)
{
    QelFindReplaceData* frd = QelFindReplaceData::Get();
    QelSTC* stc = GetSTC();
    if (stc != nullptr) stc->GetFindString();

    std::vector<QelConfigItem> items{Combo(frd->GetTextFindWhat(), true)};
    if (add_in_files) items.push_back(Combo(m_TextInFiles, true));
    if (IsReplaceTool(id)) items.push_back(Combo(frd->GetTextReplaceWith(), false));
    items.emplace_back(frd->GetInfo());

    QelConfigDialog dialog(this, items, GetFindInCaption(id));
    if (dialog.ShowModal() == wxID_CANCEL) return wxID_CANCEL;
    wxLogStatus(frd->GetFindReplaceInfoText(IsReplaceTool(id)));
    return wxID_OK;
}

void QelFrameWithHistory::FindInSelection(const wxArrayString& files, int id)
{
    if (files.empty()) return;
    if (QelToolRun::IsBusy() || QelDir::GetIsBusy()) {
        wxLogStatus(_("A tool is running"));
        return;
    }
    const bool add_in_files = wxDirExists(files[0]) && !wxFileExists(files[0]);
    if (FindInSelectionDialog(id, add_in_files) == wxID_CANCEL) return;
    if (!IsFindValid(*QelFindReplaceData::Get())) return;

    const QelTool tool(id);
    const QelToolRun run(tool, this);
    if (!run.IsOk()) return;

    const wxString spec = QelConfigFirstOf(m_TextInFiles);
    QelFileStatistics sum;
    for (const wxString& name : files) {
        if (wxFileExists(name)) {
            sum += QelTextFileWithListView::Run(QelFileName(name), tool);
        } else {
            // A selected folder is walked with its sub-folders.
            QelDirTool dir(tool, QelFileName(name).GetFullPath(), spec,
                           wxDIR_FILES | wxDIR_DIRS | wxDIR_HIDDEN | wxDIR_NO_FOLLOW);
            dir.FindFiles();
            sum += dir.GetStatistics();
        }
        if (run.IsCancelled()) {
            wxLogStatus(_("Cancelled"));
            return;
        }
    }
    tool.Log(&sum.GetElements());
}
