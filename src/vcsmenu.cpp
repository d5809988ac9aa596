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

// Marks "no submenu yet"; no submenu of vcs.xml is called so.
const char* const NO_SUBMENU = "XXXXX";

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

} // namespace

int QelVCSEntry::BuildMenu(int base_id, wxMenu* menu, bool is_popup) const
{
    wxMenu* submenu = nullptr;
    wxString previous = NO_SUBMENU;

    for (const auto& command : m_Commands) {
        const wxString& name = command.GetSubMenu();
        if (!name.empty() && name != previous) {
            submenu = new wxMenu();
            previous = name;
            menu->AppendSeparator();
            menu->AppendSubMenu(submenu, name);
        } else if (name.empty()) {
            if (previous != NO_SUBMENU) {
                previous = NO_SUBMENU;
                menu->AppendSeparator();
            }
            submenu = nullptr;
        }

        if (!ShownIn(command.GetType(), is_popup)) continue;
        wxMenu* target = submenu != nullptr ? submenu : menu;
        target->Append(base_id + command.GetNo(), QelEllipsed(command.GetCommand(false, true)));
        if (command.GetType() & VCS_MENU_SEPARATOR) target->AppendSeparator();
    }
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
