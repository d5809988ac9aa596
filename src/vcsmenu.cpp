#include <qelkit/vcsmenu.h>

#include <wx/app.h>
#include <wx/log.h>
#include <wx/menu.h>

#include <qelkit/filename.h>
#include <qelkit/frame.h>
#include <qelkit/menu.h>
#include <qelkit/stc.h>
#include <qelkit/util.h>
#include <qelkit/vcs.h>

namespace {

bool ShownIn(long type, bool is_popup)
{
    switch (type & VCS_MENU_PLACES) {
    case VCS_MENU_NONE:
        return false;
    case VCS_MENU_BOTH:
        return true;
    case VCS_MENU_POPUP:
        return is_popup;
    case VCS_MENU_MAIN:
        return !is_popup;
    default:
        wxFAIL_MSG("unknown menu placement of a command");
        return false;
    }
}

bool EndsInSeparator(const wxMenu* menu, size_t from)
{
    const size_t count = menu->GetMenuItemCount();
    return count > from && menu->FindItemByPosition(count - 1)->IsSeparator();
}

// A separator between groups: never first among the items from `from` on,
// never next to another.
void AppendSeparator(wxMenu* menu, size_t from)
{
    if (menu->GetMenuItemCount() > from && !EndsInSeparator(menu, from)) menu->AppendSeparator();
}

void RemoveTrailingSeparator(wxMenu* menu, size_t from)
{
    if (EndsInSeparator(menu, from))
        menu->Destroy(menu->FindItemByPosition(menu->GetMenuItemCount() - 1));
}

} // namespace

// Commands of one submenu name that follow each other form a group, set
// off by separators; the submenu is made only when one of its commands is
// shown in this kind of menu, so that no empty submenu is offered.
int QelVCSEntry::BuildMenu(int base_id, wxMenu* menu, bool is_popup) const
{
    const size_t start = menu->GetMenuItemCount();
    wxMenu* submenu = nullptr;
    const wxString* group = nullptr; // the submenu name of the group; none at first

    for (const auto& command : m_Commands) {
        const wxString& name = command.GetSubMenu();
        if (group == nullptr || name != *group) {
            // A group of the menu itself follows a submenu after a separator.
            if (group != nullptr && (!name.empty() || !group->empty()))
                AppendSeparator(menu, start);
            group = &name;
            if (submenu != nullptr) RemoveTrailingSeparator(submenu, 0);
            submenu = nullptr;
        }
        if (!ShownIn(command.GetType(), is_popup)) continue;

        if (!name.empty() && submenu == nullptr) {
            submenu = new wxMenu();
            AppendSeparator(menu, start);
            menu->AppendSubMenu(submenu, name);
        }
        wxMenu* target = submenu != nullptr ? submenu : menu;
        // The subcommand tells apart the items of one command ("stash list",
        // "stash pop").
        target->Append(base_id + command.GetNo(), QelEllipsed(command.GetCommand(true, true)));
        if (command.GetType() & VCS_MENU_SEPARATOR) AppendSeparator(target, 0);
    }
    if (submenu != nullptr) RemoveTrailingSeparator(submenu, 0);
    RemoveTrailingSeparator(menu, start);
    return static_cast<int>(menu->GetMenuItemCount());
}

void QelVCSEntry::ShowOutput(const wxString& caption) const
{
    if (QelSTC* stc = GetSTC(); !GetError() && stc != nullptr) {
        if (GetFlags().Contains("xml"))
            stc->SetLexer("xml");
        else
            QelVCSCommandOnSTC(GetCommand(), m_Lexer, stc);
    }
    QelProcess::ShowOutput(caption);
}

bool QelMenu::AppendVCS(const wxFileName& filename)
{
    if (filename.IsOk()) {
        const wxString path = filename.GetFullPath();
        const QelVCS vcs(wxArrayString(1, &path), -1);
        auto* submenu = new QelMenu(MENU_OFFER_PASTE);
        if (vcs.GetEntry().BuildMenu(ID_EDIT_VCS_LOWEST + 1, submenu, true) == 0) {
            delete submenu;
            return false;
        }
        AppendSubMenu(submenu, vcs.GetEntry().GetName());
        return true;
    }

    QelVCS vcs;
    if (!vcs.GetDir(wxTheApp != nullptr ? wxTheApp->GetTopWindow() : nullptr)) return false;
    return vcs.GetEntry().BuildMenu(ID_VCS_LOWEST + 1, this, false) > 0;
}

void QelVCSExecute(QelFrame* frame, int id, const wxArrayString& documents)
{
    if (QelVCS vcs(documents, id); !vcs.GetEntry().GetCommand().IsOpen() || documents.empty()) {
        vcs.Request(frame);
        return;
    }

    if (QelVCS(wxArrayString(1, &documents[0]), id).ShowDialog(frame) != wxID_OK) return;

    for (const auto& document : documents) {
        QelVCS vcs(wxArrayString(1, &document), id);
        const long result = vcs.Execute();
        if (!vcs.GetEntry().GetError() && result != -1)
            frame->OpenFile(QelFileName(document), vcs.GetEntry(), 1);
        else
            vcs.GetEntry().ShowOutput();
    }
}

void QelVCSCommandOnSTC(const QelVCSCommand& command, const QelLexer& lexer, QelSTC* stc)
{
    if (command.IsBlame()) stc->SetEdgeMode(wxSTC_EDGE_NONE);

    if (command.IsDiff())
        stc->SetLexer("diff");
    else if (command.IsHistory())
        stc->SetLexer(wxEmptyString);
    else if (command.IsOpen())
        stc->SetLexer(lexer.GetScintillaLexer());
    else
        stc->SetLexer(wxEmptyString);
}
