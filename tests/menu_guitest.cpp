// Menus: the edit group by menu style, separators that never lead or
// double; and one table of what the main window's menus, its context menus,
// its keys and its options dialogs offer.
#include <memory>

#include <wx/bookctrl.h>
#include <wx/checklst.h>
#include <wx/radiobox.h>
#include <wx/spinctrl.h>

#include <qelkit/configdialog.h>
#include <qelkit/menu.h>
#include <qelkit/notebook.h>
#include <qelkit/report/listviewfile.h>
#include <qelkit/stc.h>
#include <qelkit/vcs.h>

#include "app_frame_harness.h"
#include "defs.h"
#include "testing.h"

using namespace qeltest;

namespace {

// The styles that no menu of the table below has.
TEST(Menu, EditGroupFollowsTheStyle)
{
    const struct {
        long style;
        bool add_invert;
        std::vector<int> ids;
    } rows[] = {
        {MENU_READ_ONLY | MENU_HAS_SELECTION, false, {wxID_COPY}},
        {MENU_READ_ONLY | MENU_OFFER_PASTE, false, {wxID_SELECTALL}},
        {MENU_HAS_SELECTION | MENU_NO_CONTENT, true, {wxID_CUT, wxID_COPY}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(QelMenuEditIds(row.style, row.add_invert), row.ids) << row.style;
}

TEST(Menu, NoLeadingOrDoubledSeparatorsAndCopiesKeepOnlyTheStyle)
{
    QelMenu menu(MENU_HAS_SELECTION | MENU_OFFER_PASTE);
    EXPECT_EQ(menu.AppendSeparator(), nullptr);
    menu.AppendBars();
    EXPECT_NE(menu.AppendSeparator(), nullptr);
    EXPECT_EQ(menu.AppendSeparator(), nullptr);
    EXPECT_FALSE(menu.AppendTools(wxID_ANY));
    // The group added nothing: its separator goes, the items before stay.
    menu.DropTrailingSeparator();
    menu.DropTrailingSeparator();
    EXPECT_EQ(menu.GetMenuItemCount(), 3u);

    const QelMenu copy(menu);
    EXPECT_EQ(copy.GetMenuItemCount(), 0u);
    EXPECT_EQ(copy.GetStyle(), MENU_HAS_SELECTION | MENU_OFFER_PASTE);
}

// One thing the user is offered: a menu item (its place is the menu path,
// `key` its accelerator, `id` the command it sends), a key of a window (no
// label), or an item of an options dialog (its place is the dialog and its
// page, `key` what the item offers, `id` its kind; the dialog's own row has
// the id that its buttons report). An empty place repeats the one above.
struct Offer {
    const char *where, *label, *key;
    int id;
};

// clang-format off
const Offer kOffers[] = {
    {"&File", "&New", "Ctrl+N", wxID_NEW}, {"", "&Open...", "Ctrl+O", wxID_OPEN},
    {"", "Open &Recent", "", ID_RECENT_FILE_MENU}, {"", "&Close", "", wxID_CLOSE},
    {"", "Close A&ll", "", ID_ALL_CLOSE}, {"", "&Save", "Ctrl+S", wxID_SAVE},
    {"", "Save &As...", "", wxID_SAVEAS}, {"", "Save A&ll", "", ID_ALL_SAVE},
    {"", "Page &Setup...", "", wxID_PRINT_SETUP}, {"", "Print previe&w...", "", wxID_PREVIEW},
    {"", "&Print...", "Ctrl+P", wxID_PRINT}, {"", "&Quit", "", wxID_EXIT},
    {"&Edit", "&Undo", "Ctrl+Z", wxID_UNDO}, {"", "&Redo", "Ctrl+Shift+Z", wxID_REDO},
    {"", "Cu&t", "Ctrl+X", wxID_CUT}, {"", "&Copy", "Ctrl+C", wxID_COPY},
    {"", "&Paste", "Ctrl+V", wxID_PASTE}, {"", "&Jump to", "", wxID_JUMP_TO},
    {"&Edit/&Find And Replace", "&Find...", "Ctrl+F", wxID_FIND},
    {"", "Rep&lace...", "Ctrl+H", wxID_REPLACE}, {"", "Find &In Files...", "", ID_FIND_IN_FILES},
    {"", "Replace In File&s...", "", ID_REPLACE_IN_FILES},
    {"&Edit/More", "&Add Header...", "", ID_EDIT_ADD_HEADER},
    {"", "Insert Sequence...", "", ID_EDIT_INSERT_SEQUENCE},
    {"", "&Control Char...", "Ctrl+K", ID_EDIT_CONTROL_CHAR},
    {"&Edit/&Macro", "Start Record", "", ID_EDIT_MACRO_START_RECORD},
    {"", "Stop Record", "", ID_EDIT_MACRO_STOP_RECORD},
    {"", "Playback", "Ctrl+M", ID_EDIT_MACRO_PLAYBACK},
    {"&View", "&Statusbar", "", ID_VIEW_STATUSBAR}, {"", "&Toolbar", "", ID_VIEW_TOOLBAR},
    {"", "&Findbar", "", ID_VIEW_FINDBAR}, {"", "&Files", "", ID_VIEW_FILES},
    {"", "&Projects", "", ID_VIEW_PROJECTS}, {"", "&Explorer", "", ID_VIEW_DIRCTRL},
    {"", "&History", "", ID_VIEW_HISTORY}, {"", "&Output", "", ID_VIEW_OUTPUT},
    {"", "&Ascii Table", "", ID_VIEW_ASCII_TABLE},
    {"&Process", "&Select...", "", ID_PROCESS_SELECT}, {"", "&Execute", "", wxID_EXECUTE},
    {"", "&Stop", "", wxID_STOP},
    {"&Project", "&New", "", ID_PROJECT_NEW}, {"", "&Open...", "", ID_PROJECT_OPEN},
    {"", "Open &Recent", "", ID_RECENT_PROJECT_MENU},
    {"", "&Open As Text", "", ID_PROJECT_OPENTEXT}, {"", "&Close", "", ID_PROJECT_CLOSE},
    {"", "&Save", "", ID_PROJECT_SAVE}, {"", "Save &As...", "", ID_PROJECT_SAVEAS},
    {"", "&Auto Sort", "", ID_PROJECT_SORT_SYNC},
    {"&Window", "Split", "", ID_SPLIT},
    {"&Options", "Set &Comparator...", "", ID_OPTION_COMPARATOR},
    {"", "Set &List Font...", "", ID_OPTION_LIST_FONT},
    {"", "Set List &Read Only Colour...", "", ID_OPTION_LIST_READONLY_COLOUR},
    {"&Options/Set &List Sort Method", "&Ascending", "", ID_OPTION_LIST_SORT_ASCENDING},
    {"", "&Descending", "", ID_OPTION_LIST_SORT_DESCENDING},
    {"", "&Toggle", "", ID_OPTION_LIST_SORT_TOGGLE},
    {"&Options", "Set &Editor Options...", "", ID_OPTION_EDITOR},
    {"&Help", "&About", "", wxID_ABOUT}, {"", "&Help", "", wxID_HELP},
    // Version control known at the start: its settings replace the comparator.
    {"&Options with version control", "Set &VCS...", "", ID_OPTION_VCS},
    {"Editor, lines selected", "&Find...", "Ctrl+F", wxID_FIND},
    {"", "Rep&lace...", "Ctrl+H", wxID_REPLACE}, {"", "Cu&t", "Ctrl+X", wxID_CUT},
    {"", "&Copy", "Ctrl+C", wxID_COPY}, {"", "&Delete", "", wxID_DELETE},
    {"Editor, lines selected/&Selection", "&Uppercase", "F11", ID_EDIT_UPPERCASE},
    {"", "&Lowercase", "F12", ID_EDIT_LOWERCASE},
    {"Editor, lines selected/&Selection/&Sort", "&Ascending", "", wxID_SORT_ASCENDING},
    {"", "&Descending", "", wxID_SORT_DESCENDING},
    {"Editor, lines selected", "&Undo", "Ctrl+Z", wxID_UNDO},
    {"Editor, on a link", "Open other.c", "", ID_EDIT_OPEN_LINK},
    {"", "&Compare Recent Version...", "", ID_EDIT_COMPARE_RECENT},
    {"", "&Open In Browser", "", ID_EDIT_OPEN_BROWSER}, {"", "&Find...", "Ctrl+F", wxID_FIND},
    {"", "Rep&lace...", "Ctrl+H", wxID_REPLACE}, {"", "Select &All", "Ctrl+A", wxID_SELECTALL},
    // Ctrl+T is the main window's: it shows or hides the title bar.
    {"", "&Toggle Fold", "", ID_EDIT_FOLD_TOGGLE}, {"", "&Fold All Lines", "F9", ID_EDIT_FOLD_ALL},
    {"", "&Unfold All Lines", "F10", ID_EDIT_UNFOLD_ALL},
    {"Find list, nothing selected", "&Paste", "Ctrl+V", wxID_PASTE},
    {"", "Select &All", "Ctrl+A", wxID_SELECTALL}, {"", "&Clear", "", wxID_CLEAR},
    {"", "&Invert", "", ID_EDIT_SELECT_INVERT},
    {"Find list, nothing selected/Sort On", "File Name", "", ID_COLUMN_SORT_LOWEST},
    {"", "Line", "", 1001}, {"", "Match", "", 1002}, {"", "Line No", "", 1003},
    {"", "Modified", "", 1004}, {"", "In Folder", "", 1005}, {"", "Type", "", 1006},
    {"", "Size", "", 1007},
    {"Project, a file selected", "&Open", "", ID_LIST_OPEN_ITEM}, {"", "Cu&t", "Ctrl+X", wxID_CUT},
    {"", "&Copy", "Ctrl+C", wxID_COPY}, {"", "&Paste", "Ctrl+V", wxID_PASTE},
    {"", "&Deselect All", "", ID_EDIT_SELECT_NONE}, {"", "&Invert", "", ID_EDIT_SELECT_INVERT},
    {"", "&Delete", "", wxID_DELETE}, {"", "&Compare Recent Version", "", ID_LIST_COMPARE_RECENT},
    {"", "&Version List", "", ID_LIST_VERSION_LIST},
    {"", "Find In Selection...", "", ID_TOOL_FIND_IN_FILES},
    {"", "Replace In Selection...", "", ID_TOOL_REPLACE_IN_FILES},
    {"Folder list, empty", "&Paste", "Ctrl+V", wxID_PASTE}, {"", "Add", "", wxID_ADD},
    {"Editor Options", "", "", ID_OPTION_EDITOR},
    {"Editor Options/General", "", "Caret line,End of line,Line numbers,Use tabs,vi mode", CONFIG_CHECKLISTBOX_NONAME},
    {"", "Whitespace", "Invisible,Visible always,Invisible after ident", CONFIG_RADIOBOX},
    {"", "Wrap line", "None,Word,Char", CONFIG_RADIOBOX},
    {"", "Wrap visual flags", "None,End,Start", CONFIG_RADIOBOX},
    {"", "Default font", "", CONFIG_FONTPICKERCTRL},
    {"Editor Options/Edge", "Edge column", "0..500", CONFIG_SPINCTRL},
    {"", "Edge line", "None,Line,Background", CONFIG_RADIOBOX},
    {"Editor Options/Margin", "Tab width", "1..80", CONFIG_SPINCTRL},
    {"", "Indent", "1..80", CONFIG_SPINCTRL}, {"", "Divider", "0..40", CONFIG_SPINCTRL},
    {"", "Folding", "0..40", CONFIG_SPINCTRL}, {"", "Line number", "0..100", CONFIG_SPINCTRL},
    {"Editor Options/Folding", "Auto fold", "0..2147483647", CONFIG_SPINCTRL},
    {"", "Indentation guide", "", CONFIG_CHECKBOX},
    {"", "Fold flags", "Line before expanded,Line before contracted,Line after expanded,Line after contracted", CONFIG_CHECKLISTBOX},
    {"Editor Options/Directory", "Include directory", "", CONFIG_LISTVIEW_FOLDER},
    {"Find In Files", "", "", ID_FIND_IN_FILES}, {"", "Find what", "required", CONFIG_COMBOBOX},
    {"", "In files", "required", CONFIG_COMBOBOX},
    {"", "In folder", "required", CONFIG_COMBOBOXDIR},
    {"", "", "Match case,Match whole word,Recursive,Regular expression", CONFIG_CHECKLISTBOX_NONAME},
    {"Replace In Files", "", "", ID_REPLACE_IN_FILES},
    {"", "Find what", "required", CONFIG_COMBOBOX}, {"", "Replace with", "", CONFIG_COMBOBOX},
    {"", "In files", "required", CONFIG_COMBOBOX},
    {"", "In folder", "required", CONFIG_COMBOBOXDIR},
    {"", "", "Match case,Recursive,Regular expression", CONFIG_CHECKLISTBOX_NONAME},
    {"Add Items", "", "", wxID_ADD}, {"", "Add what", "required", CONFIG_COMBOBOX},
    {"", "In folder", "required", CONFIG_COMBOBOXDIR},
    {"", "", "Add files,Add folders,Recursive", CONFIG_CHECKLISTBOX_NONAME},
    {"Set Comparator", "", "", wxID_ANY}, {"", "Comparator", "", CONFIG_FILEPICKERCTRL},
    {"Set List Font", "", "", wxID_ANY}, {"", "List Font", "", CONFIG_FONTPICKERCTRL},
    {"Set List Read Only Colour", "", "", wxID_ANY}, {"", "List Colour", "", CONFIG_COLOUR},
    {"Select Process", "", "", wxID_ANY}, {"", "Process", "", CONFIG_COMBOBOX},
    {"", "Process folder", "required", CONFIG_COMBOBOXDIR},
    {"Set VCS", "", "", wxID_ANY},
    {"", "VCS", "None,Auto,git,svn,mercurial,CVS,bzr", CONFIG_RADIOBOX},
    {"", "CVS", "", CONFIG_FILEPICKERCTRL}, {"", "bzr", "", CONFIG_FILEPICKERCTRL},
    {"", "git", "", CONFIG_FILEPICKERCTRL}, {"", "mercurial", "", CONFIG_FILEPICKERCTRL},
    {"", "svn", "", CONFIG_FILEPICKERCTRL},
    {"File Purpose", "", "", wxID_ANY}, {"", "Purpose", "required", CONFIG_STRING},
    {"", "Author", "required", CONFIG_STRING}, {"", "Email", "", CONFIG_STRING},
    {"", "License", "", CONFIG_STRING},
    {"Find In Selection", "", "", wxID_ANY}, {"", "Find what", "required", CONFIG_COMBOBOX},
    {"", "", "Match case,Match whole word,Regular expression", CONFIG_CHECKLISTBOX_NONAME},
    {"Main window keys", "", "F5", wxID_FIND}, {"", "", "F6", wxID_REPLACE},
    {"", "", "Ctrl+B", ID_VIEW_MENUBAR}, {"", "", "Ctrl+T", ID_VIEW_TITLEBAR},
    {"Editor keys", "", "Ctrl+Z", wxID_UNDO}, {"", "", "Ctrl+Y", wxID_REDO},
    {"", "", "Ctrl+D", ID_EDIT_HEX_DEC_CALLTIP}, {"", "", "F3", ID_EDIT_FIND_NEXT},
    {"", "", "F4", ID_EDIT_FIND_PREVIOUS}, {"", "", "F7", wxID_SORT_ASCENDING},
    {"", "", "F8", wxID_SORT_DESCENDING}, {"", "", "F9", ID_EDIT_FOLD_ALL},
    {"", "", "F10", ID_EDIT_UNFOLD_ALL}, {"", "", "F11", ID_EDIT_UPPERCASE},
    {"", "", "F12", ID_EDIT_LOWERCASE}, {"", "", "Delete", wxID_DELETE},
    {"", "", "Ctrl+Insert", wxID_COPY}, {"", "", "Shift+Insert", wxID_PASTE},
    {"", "", "Shift+Delete", wxID_CUT}, {"", "", "Ctrl+=", ID_EDIT_ZOOM_IN},
    {"", "", "Ctrl+-", ID_EDIT_ZOOM_OUT}, {"", "", "Ctrl+9", ID_EDIT_MARKER_NEXT},
    {"", "", "Ctrl+0", ID_EDIT_MARKER_PREVIOUS},
    {"List keys", "", "Ctrl+A", wxID_SELECTALL}, {"", "", "Ctrl+C", wxID_COPY},
    {"", "", "Ctrl+V", wxID_PASTE}, {"", "", "Ctrl+X", wxID_CUT}, {"", "", "Delete", wxID_DELETE},
    {"", "", "Ctrl+Insert", wxID_COPY}, {"", "", "Shift+Insert", wxID_PASTE},
    {"", "", "Shift+Delete", wxID_CUT},
};
// clang-format on

using Lines = std::vector<std::string>;

std::string Line(const wxString& where, const wxString& label, const wxString& key, int id)
{
    return wxString::Format("%s | %s | %s | %d", where, label, key, id).utf8_string();
}

// Every item of a menu and of its submenus, separators left out; a submenu
// that carries no id of its own is named by the places of its items.
void Walk(Lines& out, const wxString& where, const wxMenu& menu)
{
    for (const wxMenuItem* item : menu.GetMenuItems()) {
        if (item->IsSeparator()) continue;
        const std::unique_ptr<wxAcceleratorEntry> key(item->GetAccel());
        const wxString label = item->GetItemLabel().BeforeFirst('\t');
        if (!item->IsSubMenu() || item->GetId() >= 0)
            out.push_back(Line(where, label, key ? key->ToString() : "", item->GetId()));
        if (item->IsSubMenu()) Walk(out, where + "/" + label, *item->GetSubMenu());
    }
}

// The choices or the range an item's control offers, and whether it must
// be filled in.
wxString Offered(const QelConfigItem& item)
{
    wxArrayString offered;
    wxWindow* control = item.GetWindow();
    if (auto* list = dynamic_cast<wxCheckListBox*>(control)) offered = list->GetStrings();
    if (auto* radio = dynamic_cast<wxRadioBox*>(control))
        for (unsigned i = 0; i < radio->GetCount(); i++) offered.Add(radio->GetString(i));
    if (auto* spin = dynamic_cast<wxSpinCtrl*>(control))
        offered.Add(wxString::Format("%d..%d", spin->GetMin(), spin->GetMax()));
    if (item.GetIsRequired()) offered.Add("required");
    return wxJoin(offered, ',', 0);
}

// A dialog's own row, then its items on the book page that shows them.
void Walk(Lines& out, const QelConfigDialog* dialog)
{
    out.push_back(Line(dialog->GetTitle(), "", "", std::max(dialog->GetId(), int(wxID_ANY))));
    for (const QelConfigItem& item : dialog->GetConfigItems()) {
        wxString where = dialog->GetTitle();
        for (wxWindow* w = item.GetWindow(); w != nullptr && w != dialog; w = w->GetParent())
            if (auto* book = dynamic_cast<wxBookCtrlBase*>(w->GetParent()))
                where += "/" + book->GetPageText(book->FindPage(w));
        const bool named = item.GetType() != CONFIG_CHECKLISTBOX_NONAME;
        out.push_back(Line(where, named ? item.GetLabel() : "", Offered(item), item.GetType()));
    }
}

// The command a window's accelerators give the key written as in a menu.
int KeyCommand(wxWindow* window, const wxString& key)
{
    wxAcceleratorEntry entry;
    if (!entry.FromString(key)) return 0;
    wxKeyEvent event(wxEVT_KEY_DOWN);
    event.m_keyCode = entry.GetKeyCode();
    event.m_controlDown = (entry.GetFlags() & wxACCEL_CTRL) != 0;
    event.m_shiftDown = (entry.GetFlags() & wxACCEL_SHIFT) != 0;
    return window->GetAcceleratorTable()->GetCommand(event);
}

class Editor : public QelSTC {
public:
    using QelSTC::BuildPopupMenu;
    using QelSTC::QelSTC;
};

class MenuTable : public AppFrameTest {
protected:
    void Popups(Lines& out);
    void Dialogs(Lines& out);
};

void MenuTable::Popups(Lines& out)
{
    wxConfigBase::Get()->Write("Comparator", "cmp");
    wxConfigBase::Get()->Write("VCS", 0L);
    const wxString other = m_Temp.File("other.c");
    ASSERT_TRUE(WriteBytes(other, "x\n"));
    const struct {
        const char *where, *name, *text;
        int to; // the selection from 2 after an edit; none when 0
        long style;
    } editors[] = {
        {"Editor, lines selected", "doc.c", "x\n", 6, MENU_HAS_SELECTION},
        {"Editor, on a link", "page.html", "\"other.c\"\n<html>\n<body>\n</body>\n</html>\n", 0, 0},
    };
    for (const auto& state : editors) {
        const wxString path = m_Temp.File(state.name);
        ASSERT_TRUE(WriteBytes(path, state.text));
        auto* stc = new Editor(m_Frame, QelFileName(path));
        if (state.to > 0) stc->AppendText("b\na\n"), stc->SetSelection(2, state.to);
        QelMenu menu(state.style);
        stc->BuildPopupMenu(menu);
        Walk(out, state.where, menu);
        stc->Destroy();
    }

    QelListView* find = m_Frame->Activate(QelListViewFileName::LIST_FIND);
    ASSERT_TRUE(find->ItemFromText(other));
    ASSERT_TRUE(m_Frame->NewFile(true));
    QelListViewFile* project = m_Frame->GetProject();
    ASSERT_TRUE(project->ItemFromText(other));
    project->Select(0);
    auto* folders = new QelListViewFolder(m_Frame);
    const std::tuple<const char*, QelListView*, long> lists[] = {
        {"Find list, nothing selected", find, MENU_OFFER_PASTE | MENU_OFFER_CLEAR},
        {"Project, a file selected", project, MENU_OFFER_PASTE | MENU_HAS_SELECTION},
        {"Folder list, empty", folders, MENU_OFFER_PASTE | MENU_NO_CONTENT},
    };
    for (const auto& [where, list, style] : lists) {
        QelMenu menu(style);
        list->BuildPopupMenu(&menu);
        Walk(out, where, menu);
    }
}

void MenuTable::Dialogs(Lines& out)
{
    for (const int id : {int(ID_OPTION_EDITOR), int(ID_FIND_IN_FILES), int(ID_REPLACE_IN_FILES)}) {
        EXPECT_TRUE(Command(id)) << id;
        if (const QelConfigDialog* dialog = Modeless(id)) Walk(out, dialog);
    }
    Command(wxID_ADD, "", m_Frame->GetProject());
    if (const QelConfigDialog* dialog = Modeless(wxID_ADD)) Walk(out, dialog);

    const auto note = [&out] {
        return ExpectAnswer<QelConfigDialog>([&out](QelConfigDialog* dialog) { Walk(out, dialog); },
                                             wxID_CANCEL);
    };
    ASSERT_TRUE(m_Frame->NewFile(false));
    m_Frame->SetFindFocus(m_Frame->GetEditors()->GetCurrentPage());
    const std::pair<wxWindow*, int> modal[] = {{m_Frame, ID_OPTION_COMPARATOR},
                                               {m_Frame, ID_OPTION_LIST_FONT},
                                               {m_Frame, ID_OPTION_LIST_READONLY_COLOUR},
                                               {m_Frame, ID_PROCESS_SELECT},
                                               {m_Frame, ID_OPTION_VCS},
                                               {m_Frame, ID_EDIT_ADD_HEADER},
                                               {m_Frame->GetProject(), ID_TOOL_FIND_IN_FILES}};
    for (const auto& [window, id] : modal) wxTEST_DIALOG(Command(id, "", window), note());
}

TEST_F(MenuTable, MenusKeysAndOptionsDialogsOfferTheirItems)
{
    Lines want, seen;
    wxString where;
    for (const Offer& offer : kOffers) {
        if (*offer.where != '\0') where = offer.where;
        want.push_back(Line(where, offer.label, offer.key, offer.id));
    }

    const wxMenuBar* bar = m_Frame->GetMenuBar();
    for (size_t i = 0; i < bar->GetMenuCount(); i++)
        Walk(seen, bar->GetMenuLabel(i), *bar->GetMenu(i));
    QelVCS vcs{wxFileName(QEL_SOURCE_DIR "/data/vcs.xml")};
    ASSERT_TRUE(QelVCS::Read());
    {
        const std::unique_ptr<Frame> known(new Frame(false));
        const wxMenuBar* menus = known->GetMenuBar();
        const wxMenu* options = menus->GetMenu(menus->FindMenu("Options"));
        Lines first;
        Walk(first, "&Options with version control", *options);
        seen.push_back(first.at(0));
    }
    Popups(seen);
    Dialogs(seen);

    const std::pair<const char*, wxWindow*> keyed[] = {{"Main window keys", m_Frame},
                                                       {"Editor keys", m_Frame->GetAsciiTable()},
                                                       {"List keys", m_Frame->GetProject()}};
    for (const auto& [place, window] : keyed) {
        where.clear();
        for (const Offer& offer : kOffers) {
            if (*offer.where != '\0') where = offer.where;
            if (where == place)
                seen.push_back(Line(where, "", offer.key, KeyCommand(window, offer.key)));
        }
    }
    const auto text = [](const Lines& lines) {
        std::string joined;
        for (const std::string& line : lines) joined += line + "\n";
        return joined;
    };
    EXPECT_EQ(text(want), text(seen));
}

} // namespace
