#include <qelkit/stcfile.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <limits>
#include <utility>
#include <vector>

#include <wx/app.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/timer.h>
#include <wx/weakref.h>

#include <qelkit/filedlg.h>
#include <qelkit/lexers.h>
#include <qelkit/notebook.h>
#include <qelkit/stc.h>

namespace {

// The lexer of the bound file; a name made before the lexers were read
// carries none, so it is looked up again.
wxString LexerOf(const QelFileName& filename)
{
    const QelLexer& lexer = filename.GetLexer();
    if (!lexer.GetScintillaLexer().empty()) return lexer.GetScintillaLexer();
    return QelLexers::Get(true)->FindByFileName(filename).GetScintillaLexer();
}

// The bytes read from a file at a time.
constexpr size_t kReadBlock = 1 << 20;

// A dump line at an offset below 2^32, with CR LF.
constexpr int kLongestHexLine = 78;

// Whether `size` bytes fit into the editor; logs the path and the limit when
// they do not.
bool Fits(const wxString& path, wxFileOffset size, bool hex_view)
{
    const wxFileOffset limit = QelEditorMaxFileSize(hex_view);
    if (size <= limit) return true;
    wxLogError(hex_view ? _("Cannot open file: %s (the hexadecimal view holds at most %lld bytes)")
                        : _("Cannot open file: %s (the editor holds at most %lld bytes)"),
               path, static_cast<long long>(limit));
    return false;
}

// A line heavier than this, as QelLineWeight weighs it, is shown as
// QelSTC::ShowLongLines says: a lexer would cut it into pieces that the
// control measures one by one, each as heavy as a break.
constexpr size_t kLongLine = 1 << 17;

// Whether the lines of the `length` bytes of the file from `offset` on fit
// into the editor, the first going on with a line of `open` bytes; logs the
// path and the limit when they do not. Only bytes more than the limit are
// read, and only up to the first line too long.
bool FitsLines(wxFile& file, const wxString& path, wxFileOffset offset, wxFileOffset length,
               size_t open)
{
    const wxFileOffset limit = QelEditorMaxLineLength();
    if (length - offset + static_cast<wxFileOffset>(open) <= limit) return true;
    if (file.Seek(offset) == wxInvalidOffset) return true; // the read says what failed

    QelLongestLine longest(open);
    std::vector<char> block(kReadBlock);
    for (wxFileOffset left = length - offset; left > 0;) {
        const ssize_t n = file.Read(block.data(), std::min<wxFileOffset>(left, kReadBlock));
        if (n <= 0) break;
        longest.Add(block.data(), static_cast<size_t>(n));
        if (static_cast<wxFileOffset>(longest.Get()) > limit) {
            wxLogError(_("Cannot open file: %s (the editor holds lines of at most %lld bytes)"),
                       path, static_cast<long long>(limit));
            return false;
        }
        left -= n;
    }
    return true;
}

// The heaviest line of the `length` bytes of the file from `offset` on, the
// first going on with a line of weight `open`; only up to the first line
// heavier than `limit` is read.
size_t HeaviestLine(QelFile& file, wxFileOffset offset, wxFileOffset length, size_t open,
                    size_t limit)
{
    QelLineWeight weight(open);
    if (length <= offset || file.Seek(offset) == wxInvalidOffset) return weight.Get();

    std::vector<char> block(
        static_cast<size_t>(std::min<wxFileOffset>(length - offset, kReadBlock)));
    for (wxFileOffset left = length - offset; left > 0 && weight.Get() <= limit;) {
        const ssize_t n = file.Read(block.data(), std::min<wxFileOffset>(left, kReadBlock));
        if (n <= 0) break; // the read says what failed
        weight.Add(block.data(), static_cast<size_t>(n));
        left -= n;
    }
    return weight.Get();
}

// Says why the file is shown as a dump: once its page is shown and its
// status told, so that the status bar keeps the reason. Of pages opened
// together only one is shown: the status bar then tells of that one again.
void TellShownAsDump(QelSTC* stc, const wxString& path)
{
    const wxString why = wxString::Format(
        _("Shown in hexadecimal: %s (it has a line too long for the editor to lay out in time)"),
        path);
    const wxWeakRef<QelSTC> editor(stc);
    wxTheApp->CallAfter([editor, why] {
        wxLogError("%s", why);
        QelNotebook* notebook = editor ? QelNotebook::Of(editor.get()) : nullptr;
        if (notebook == nullptr || notebook->GetCurrentPage() == editor) return;
        if (auto* shown = dynamic_cast<QelSTC*>(notebook->GetCurrentPage()); shown != nullptr)
            shown->PropertiesMessage();
    });
}

// Turns the change events and the undo history of the control off for a
// read, and on again however the read ends: the control may throw while it
// takes the text in or lays it out.
class QuietRead {
public:
    explicit QuietRead(QelSTC& stc)
        : m_STC(stc)
        , m_ModMask(stc.GetModEventMask())
    {
        // No undo history is kept for what is read: it is thrown away after.
        // Nor is the read told as a change: the toolkit would copy all of it
        // into the event, as wide characters.
        m_STC.SetUndoCollection(false);
        m_STC.SetModEventMask(0);
    }
    ~QuietRead()
    {
        m_STC.SetModEventMask(m_ModMask);
        m_STC.SetUndoCollection(true);
    }
    QuietRead(const QuietRead&) = delete;
    QuietRead& operator=(const QuietRead&) = delete;

private:
    QelSTC& m_STC;
    const int m_ModMask;
};

// How often a shown editor looks at its file at most, and how often the
// timer looks at the shown files when no other event comes.
constexpr std::chrono::milliseconds kSyncInterval(500);

// The editors, and the timer that follows the files of the shown ones while
// any editor exists.
std::vector<QelSTCFile*> g_Editors;
wxTimer* g_SyncTicker = nullptr;
// The editors that may be shown: all but those hidden since they were last
// shown or made, so that a tick looks at a few and not at every page.
std::vector<QelSTCFile*> g_MayShow;
// The editors that showed another's document (split views) at some time:
// while there are none, no document is shared and no editor is looked at.
size_t g_Views = 0;

void Forget(std::vector<QelSTCFile*>& files, QelSTCFile* file)
{
    files.erase(std::remove(files.begin(), files.end(), file), files.end());
}

void OnSyncTick(wxTimerEvent&)
{
    // The files are followed directly, not through an idle event, which
    // would go through every handler of the editor at every tick. A
    // question about a reload lets events run, which may make, show or
    // close editors: the list holds only live ones and is read by index,
    // so an editor moved meanwhile is at worst passed over until the next
    // tick, or looked at again, which its own interval makes a no-op.
    for (size_t i = 0; i < g_MayShow.size(); ++i) {
        QelSTC& stc = g_MayShow[i]->GetSTC();
        // IsShown first: it rejects a page not shown without asking its parents.
        if (stc.IsShown() && stc.IsShownOnScreen()) stc.FollowFile();
    }
}

bool IsLogExtension(const wxFileName& filename)
{
    return filename.GetExt().Lower() == "log";
}

} // namespace

QelSTCFile::QelSTCFile(QelSTC* stc)
    : QelFile(true)
    , m_STC(stc)
{
    if (g_Editors.empty()) {
        g_SyncTicker = new wxTimer();
        g_SyncTicker->Bind(wxEVT_TIMER, &OnSyncTick);
        g_SyncTicker->Start(static_cast<int>(kSyncInterval.count()));
    }
    g_Editors.push_back(this);
    g_MayShow.push_back(this);

    // Shown again (its notebook page chosen): what changed meanwhile is
    // checked at the next idle time.
    m_STC->Bind(wxEVT_SHOW, [this](wxShowEvent& event) {
        event.Skip();
        Forget(g_MayShow, this);
        if (!event.IsShown()) return;
        g_MayShow.push_back(this);
        m_LastCheck = {};
    });
}

QelSTCFile::~QelSTCFile()
{
    Forget(g_Editors, this);
    Forget(g_MayShow, this);
    if (m_IsView) --g_Views;
    if (g_Editors.empty()) {
        delete g_SyncTicker;
        g_SyncTicker = nullptr;
    }
}

bool QelSTCFile::CheckSyncIfDue()
{
    // The time first: the timer and the idle passes after it ask at every
    // tick, and every blink of the caret ends in an idle pass. Idle events
    // reach every editor, also the hundreds on pages not shown: a status
    // call for each of them every time would keep the program busy.
    const auto now = std::chrono::steady_clock::now();
    if (now - m_LastCheck < kSyncInterval || !m_STC->IsShownOnScreen()) return false;

    m_LastCheck = now;
    return CheckSync();
}

bool QelSTCFile::GetContentsChanged() const
{
    return m_STC->GetModify();
}

void QelSTCFile::ResetContentsChanged()
{
    // A save under another name takes the text to that file alone: the
    // other views of the document stay with their file, and with its
    // changes and their undo when those were not saved there.
    const std::vector<QelSTCFile*> views = Views();
    if (std::any_of(views.begin(), views.end(), [this](const QelSTCFile* view) {
            return view->GetFileName().GetFullPath() != GetFileName().GetFullPath();
        }))
        LeaveSharedDocument(true);
    m_STC->SetSavePoint();
}

void QelSTCFile::FollowView(const QelSTCFile& other)
{
    if (!std::exchange(m_IsView, true)) ++g_Views;
    Follow(other);
    m_PreviousLength = other.m_PreviousLength;
}

std::vector<QelSTCFile*> QelSTCFile::Views() const
{
    std::vector<QelSTCFile*> views;
    if (g_Views == 0) return views;
    void* const document = m_STC->GetDocPointer();
    for (QelSTCFile* file : g_Editors)
        if (file != this && file->m_STC->GetDocPointer() == document) views.push_back(file);
    return views;
}

void QelSTCFile::TellViews() const
{
    for (QelSTCFile* view : Views()) view->FollowView(*this);
}

void QelSTCFile::LeaveSharedDocument(bool copy_text)
{
    if (Views().empty()) return;
    QelSTC& stc = *m_STC;
    // Besides its text the document holds what the text is shown and
    // edited with: that goes along.
    const int code_page = stc.GetCodePage();
    const int eol_mode = stc.GetEOLMode();
    const int tab_width = stc.GetTabWidth();
    const int indent = stc.GetIndent();
    const bool use_tabs = stc.GetUseTabs();
    const bool read_only = stc.GetReadOnly();
    const int anchor = stc.GetAnchor();
    const int caret = stc.GetCurrentPos();
    const int top = stc.GetFirstVisibleLine();
    const int x_offset = stc.GetXOffset();
    const wxCharBuffer text = copy_text ? stc.GetTextRaw() : wxCharBuffer();
    // The vi marks are markers of the document, known by handles that count
    // in each document apart: taken off the shared one, they go along with
    // the text, and with another text nowhere. Line -1 takes the marks
    // whose markers are gone too, whose handles would name others there.
    const std::vector<std::pair<wxUniChar, int>> marks
        = stc.GetVi().TakeMarks(-1, stc.GetLineCount());

    void* const document = stc.CreateDocument();
    stc.SetDocPointer(document);
    stc.ReleaseDocument(document); // the editor's reference is the one left
    stc.SetCodePage(code_page);
    stc.SetEOLMode(eol_mode);
    stc.SetTabWidth(tab_width);
    stc.SetIndent(indent);
    stc.SetUseTabs(use_tabs);
    stc.SetBackSpaceUnIndents(true);
    if (!copy_text) return;

    {
        QuietRead quiet(stc);
        stc.AddTextRaw(text.data(), static_cast<int>(text.length()));
    }
    for (const auto& [marker, line] : marks)
        if (line >= 0) stc.GetVi().PutMark(marker, line);
    stc.SetSelection(anchor, caret);
    stc.SetFirstVisibleLine(top);
    stc.SetXOffset(x_offset);
    if (!(stc.GetFlags() & EDITOR_HEX)) stc.SetLexer(stc.GetLexer().GetScintillaLexer(), true);
    stc.SetReadOnly(read_only);
}

bool QelSTCFile::IsLogTail(const wxFileName& filename, int text_length)
{
    return IsLogExtension(filename) && text_length > 1024;
}

QelFile::Overwrite QelSTCFile::DoFileOverwriteConfirm()
{
    TellViews(); // the change is asked about here, not again in each view
    return AskOverwrite(m_STC);
}

QelFile::LeftBackups QelSTCFile::DoFileLeftBackupsConfirm(const std::vector<wxString>& backups)
{
    return AskLeftBackups(m_STC, backups);
}

bool QelSTCFile::DoFileLoadConfirm(bool synced)
{
    if (synced) TellViews(); // one view reads the change for all
    if (!GetContentsChanged()) return true;

    if (!synced) return QelSaveIfChanged(m_STC, this) != wxID_CANCEL;

    // A reload must say that the file changed: Yes then writes the user's
    // text over someone else's, which must never happen unasked.
    const wxString& path = GetFileName().GetFullPath();
    const wxString question = wxString::Format(_("%s was changed on disk."), path) + "\n"
        + _("Save your changes over it (Yes), drop them and load the file (No), or keep them "
            "unsaved (Cancel)?");

    wxMessageDialog dialog(m_STC, question, _("Confirm"), wxYES_NO | wxCANCEL | wxICON_QUESTION);

    switch (dialog.ShowModal()) {
    case wxID_YES:
        // Saved through a handle of its own: nothing is open yet. A save
        // that failed keeps the text and cancels the reload.
        return FileSave();
    case wxID_NO:
        // The reload marks the text unchanged once it has read the file; a
        // reload that fails keeps the user's text as changed.
        return true;
    default:
        return false;
    }
}

bool QelSTCFile::DoFileLoad(bool synced)
{
    const wxString& path = GetFileName().GetFullPath();
    bool hex = m_STC->GetFlags() & EDITOR_HEX;
    bool tail = synced && IsLogTail(GetFileName(), m_STC->GetTextLength());

    // Before anything is cleared or allocated: the sizes below are int.
    if (!Fits(path, Length(), hex)) return false;
    const int last_line = m_STC->GetLineCount() - 1;
    const size_t open = tail ? static_cast<size_t>(m_STC->GetLineLength(last_line)) : 0;
    if (!hex && !FitsLines(*this, path, ReadOffset(tail), Length(), open)) return false;

    // A file too large for a dump is weighed before the document is
    // touched: one of its lines may be too heavy to show it as text either.
    // Any other is weighed as it is sent.
    const size_t max_weight = QelEditorMaxLineWeight();
    if (!hex && Length() > QelEditorMaxFileSize(true)
        && HeaviestLine(*this, ReadOffset(tail), Length(), open, max_weight) > max_weight) {
        wxLogError(_("Cannot open file: %s (it has a line too long for the editor to lay out in "
                     "time, and the hexadecimal view holds at most %lld bytes)"),
                   path, static_cast<long long>(QelEditorMaxFileSize(true)));
        return false;
    }

    // What the control throws (it lays the text out when the caret is
    // placed, and a line may not fit into memory) would end the program and
    // take every other document with it: this one is dropped instead.
    // A file read anew into a split view is that view's alone: another
    // file, or the same one read as text or as a dump.
    if (!synced) LeaveSharedDocument(false);

    bool too_heavy = false;
    try {
        too_heavy = ReadFromFile(tail, open);
        hex = hex || too_heavy;
        if (!hex && !m_STC->HasLongLines()) {
            m_STC->SetLexer(LexerOf(GetFileName()), true);
            if (m_STC->GetLexer().GetScintillaLexer() == "po") AddBasePathToPathList();
        }
    } catch (const std::exception& error) {
        return Dropped(wxString::FromUTF8(error.what()));
    } catch (...) {
        return Dropped(_("unknown error"));
    }

    if (!synced) wxLogStatus("%s", _("Opened") + ": " + path);

    m_STC->PropertiesMessage(synced ? STAT_SYNC : 0);

    if (GetFileName().GetExt() == "log") m_STC->SetEdgeMode(wxSTC_EDGE_NONE);

    if (too_heavy) TellShownAsDump(m_STC, path);
    return true;
}

bool QelSTCFile::Dropped(const wxString& reason)
{
    wxLogError(_("Cannot open file: %s (%s)"), GetFileName().GetFullPath(), reason);
    // Whatever got in is not the file; the control may throw again.
    try {
        m_STC->ClearDocument();
    } catch (...) { }

    // A page that showed a file shows nothing of it now, and a save would
    // write that nothing over it: the page goes, once this load has
    // returned. A page still being made is not in its notebook yet.
    wxWeakRef<QelSTC> stc(m_STC);
    wxTheApp->CallAfter([stc] {
        QelNotebook* notebook = stc ? QelNotebook::Of(stc.get()) : nullptr;
        if (notebook == nullptr) return;
        if (const int page = notebook->GetPageIndex(stc); page != wxNOT_FOUND)
            notebook->DeletePage(static_cast<size_t>(page));
    });
    return false;
}

wxFileOffset QelSTCFile::ReadOffset(bool get_only_new_data) const
{
    return get_only_new_data && Length() > m_PreviousLength ? m_PreviousLength : 0;
}

bool QelSTCFile::ReadFromFile(bool get_only_new_data, size_t open)
{
    m_STC->GetVi().LeaveInsertMode(); // its undo group ends with the old text
    m_STC->SetReadOnly(false);

    const bool caret_at_end = m_STC->GetCurrentPos() >= m_STC->GetTextLength() - 1;
    const int selection_start = m_STC->GetSelectionStart();
    const int selection_end = m_STC->GetSelectionEnd();

    const wxFileOffset length = Length();
    const wxFileOffset offset = ReadOffset(get_only_new_data);

    if (offset == 0) m_STC->ClearDocument();

    m_PreviousLength = length;

    bool too_heavy = false;
    {
        QuietRead quiet(*m_STC);
        if (m_STC->GetFlags() & EDITOR_HEX) {
            // A tail's dump goes after the dump already shown, not to the caret.
            if (offset > 0) m_STC->DocumentEnd();
            SendHexBlocks(offset, length);
        } else {
            m_STC->ConfigGet();
            m_STC->SetControlCharSymbol(0);
            const size_t weight = SendBlocks(offset, length, get_only_new_data, open);
            too_heavy = weight > QelEditorMaxLineWeight();
            if (too_heavy) {
                // The control lays a line out whole at every change of it:
                // the whole file is shown as a dump, whose lines are short.
                m_STC->ClearDocument();
                m_STC->m_Flags |= EDITOR_HEX;
                get_only_new_data = false;
                SendHexBlocks(0, length);
            } else if (weight > kLongLine) {
                // Before the caret is placed, which lays its line out: done
                // after, the line would be laid out again.
                m_STC->ShowLongLines();
            }
        }
    }

    if (!get_only_new_data) {
        m_STC->GuessType();
        m_STC->DocumentStart();
    } else if (caret_at_end) {
        m_STC->DocumentEnd();
    }

    if (selection_start != selection_end) m_STC->SetSelection(selection_start, selection_end);

    if ((m_STC->GetFlags() & (EDITOR_READ_ONLY | EDITOR_HEX))
        || GetFileName().GetStat().IsReadOnly())
        m_STC->SetReadOnly(true);

    m_STC->EmptyUndoBuffer();
    return too_heavy;
}

size_t QelSTCFile::SendBlocks(wxFileOffset offset, wxFileOffset length, bool append, size_t open)
{
    // The file goes to the control block by block: it is never held twice.
    QelLineWeight weight(open);
    if (length <= offset || Seek(offset) == wxInvalidOffset) return weight.Get();
    m_STC->Allocate(static_cast<int>(m_STC->GetTextLength() + (length - offset)) + 1);

    // Up to the length taken: what grows meanwhile is the next tail.
    // A small file needs no zeroed block of the full size.
    std::vector<char> block(
        static_cast<size_t>(std::min<wxFileOffset>(length - offset, kReadBlock)));
    for (wxFileOffset left = length - offset; left > 0;) {
        const ssize_t n = Read(block.data(), std::min<wxFileOffset>(left, kReadBlock));
        if (n <= 0) break;
        weight.Add(block.data(), static_cast<size_t>(n));
        if (weight.Get() > QelEditorMaxLineWeight()) break; // never laid out
        if (append)
            m_STC->AppendTextRaw(block.data(), static_cast<int>(n));
        else
            m_STC->AddTextRaw(block.data(), static_cast<int>(n));
        left -= n;
    }
    return weight.Get();
}

void QelSTCFile::SendHexBlocks(wxFileOffset offset, wxFileOffset length)
{
    // The dump of each block goes to the control as it is read, into room
    // made for all of it: the file is never held whole beside its dump.
    const wxFileOffset size = std::max<wxFileOffset>(0, length - offset);
    m_STC->Allocate(m_STC->GetTextLength() + static_cast<int>((size + 15) / 16 * kLongestHexLine)
                    + 1);

    std::vector<char> block(size > 0 && Seek(offset) != wxInvalidOffset ? kReadBlock : 0);
    wxFileOffset at = offset;
    do {
        // Whole blocks, so that no dump line is split between two.
        const size_t want = static_cast<size_t>(
            std::min<wxFileOffset>(block.size(), std::max<wxFileOffset>(0, length - at)));
        size_t got = 0;
        while (got < want) {
            const ssize_t n = Read(block.data() + got, want - got);
            if (n <= 0) break; // a read error is told by Read; a shrunk file just ends
            got += static_cast<size_t>(n);
        }
        // Also with nothing read: the control is set up for a dump.
        m_STC->AddTextHexMode(at, block.data(), got);
        at += static_cast<wxFileOffset>(got);
        if (got < want) break;
    } while (at < length && !block.empty());
}

bool QelSTCFile::DoFileSave(bool)
{
    // The document of a dump is its text, not the file's bytes.
    if (m_STC->GetFlags() & EDITOR_HEX) {
        wxLogStatus(_("Document is readonly"));
        return false;
    }

    const wxCharBuffer text = m_STC->GetTextRaw();
    return Write(text.data(), text.length()) == text.length();
}

void QelSTCFile::DoFileSaved(bool save_as)
{
    if (save_as) {
        m_STC->SetName(GetFileName().GetFullPath());
        m_STC->SetLexer(LexerOf(GetFileName()), false);
    }

    // What the file holds now was not read, but it is no new tail either.
    m_PreviousLength = m_STC->GetTextLength();
    m_STC->MarkerDeleteAllChange();
    wxLogStatus("%s", _("Saved") + ": " + GetFileName().GetFullPath());
    TellViews();
}

void QelSTCFile::DoFileLoaded(bool)
{
    TellViews();
}

void QelSTCFile::DoFileNew()
{
    LeaveSharedDocument(false);
    m_STC->SetName(GetFileName().GetFullPath());
    m_STC->PropertiesMessage();
    m_STC->ClearDocument();
    m_STC->SetLexer(LexerOf(GetFileName()), false);
}

bool QelSTCFile::Read(const wxString& name)
{
    if (m_STC->GetReadOnly()) {
        wxLogStatus(_("Document is readonly"));
        return false;
    }

    wxFileName filename(name);
    if (filename.IsRelative()) filename.MakeAbsolute(GetFileName().GetPath(wxPATH_GET_VOLUME));

    QelFile file(filename, wxFile::read);

    // The file's open said why it failed; what is there but is no regular
    // file (a named pipe, a device) was refused without waiting.
    if (!file.IsOpened()) {
        if (!filename.Exists(wxFILE_EXISTS_ANY))
            wxLogStatus(_("file: %s does not exist"), filename.GetFullPath());
        return false;
    }

    if (!Fits(filename.GetFullPath(), file.Length() + m_STC->GetTextLength(), false)) return false;
    // The caret's line goes on with the file's first line, and on after its last.
    const size_t open = static_cast<size_t>(m_STC->GetLineLength(m_STC->GetCurrentLine()));
    if (!FitsLines(file, filename.GetFullPath(), 0, file.Length(), open)) return false;
    // Nor is a line made that the control cannot lay out in time: the
    // document shows text, not a dump.
    if (HeaviestLine(file, 0, file.Length(), open, QelEditorMaxLineWeight())
        > QelEditorMaxLineWeight()) {
        wxLogError(_("Cannot open file: %s (it has a line too long for the editor to lay out in "
                     "time)"),
                   filename.GetFullPath());
        return false;
    }

    // Weighed again with the caret's line as it weighs, not as its bytes.
    const wxCharBuffer buffer = file.Read(wxFileOffset{0});
    const size_t refusals = m_STC->GetHeavyLineRefusals();
    m_STC->AddTextRaw(buffer.data(), static_cast<int>(buffer.length()));
    return m_STC->GetHeavyLineRefusals() == refusals;
}

void QelSTCFile::AddBasePathToPathList()
{
    const int end = std::min(1000, m_STC->GetTextLength());
    const int pos = m_STC->FindText(0, end, "Basepath:", wxSTC_FIND_WHOLEWORD);
    if (pos < 0) return;

    // A folder name is bytes (a catalog need not be UTF-8): read as the
    // names of files are, never converted to nothing.
    const int line_end = m_STC->GetLineEndPosition(m_STC->LineFromPosition(pos));
    const wxCharBuffer line = m_STC->GetTextRangeRaw(pos, line_end);
    const wxString folder = QelBasePathOf(
        wxString(line.data(), *wxConvFileName, static_cast<size_t>(line_end - pos)));
    if (!folder.empty()) m_STC->m_PathList.Add(folder);
}

wxFileOffset QelEditorMaxFileSize(bool hex_view)
{
    // One position is kept for the end of the document.
    constexpr wxFileOffset kMaxText = std::numeric_limits<int>::max() - 1;
    return hex_view ? kMaxText / kLongestHexLine * 16 : kMaxText;
}

wxFileOffset QelEditorMaxLineLength()
{
    return wxFileOffset{1} << 26;
}

size_t QelEditorMaxLineWeight()
{
    // A key in such a line is answered here in a quarter to half a second,
    // under the load of other builds: a machine a few times slower still
    // answers within the two seconds a user waits.
    return size_t{1} << 19;
}

namespace {

// Whether the bytes are all printable ASCII, each weighing 1; most lines
// are, and are looked at a word at a time.
bool IsPlainText(const char* bytes, size_t size) noexcept
{
    constexpr uint64_t kOnes = 0x0101010101010101, kHighs = 0x8080808080808080;
    size_t i = 0;
    for (; i + sizeof(uint64_t) <= size; i += sizeof(uint64_t)) {
        uint64_t word;
        std::memcpy(&word, bytes + i, sizeof word);
        // A byte below 0x20 borrows, one of 0x7F carries, and one from 0x80
        // on has its high bit already.
        if (((word - 0x20 * kOnes) | word | (word + kOnes)) & kHighs) return false;
    }
    for (; i < size; ++i)
        if (const auto byte = static_cast<unsigned char>(bytes[i]); byte < 0x20 || byte >= 0x7F)
            return false;
    return true;
}

} // namespace

void QelLineWeight::Add(const char* bytes, size_t size) noexcept
{
    const char* const end = bytes + size;
    for (const char* at = bytes; at < end;) {
        // Up to the next LF, or the block's end: plain text is weighed whole,
        // anything else byte by byte, the LF too.
        const void* lf = std::memchr(at, '\n', static_cast<size_t>(end - at));
        const char* const stop = lf != nullptr ? static_cast<const char*>(lf) : end;
        if (m_Pending == 0 && IsPlainText(at, static_cast<size_t>(stop - at))) {
            m_Run += static_cast<size_t>(stop - at);
            at = stop;
            if (at < end) AddByte(static_cast<unsigned char>(*at++));
        } else {
            while (at < stop) AddByte(static_cast<unsigned char>(*at++));
            if (at < end) AddByte(static_cast<unsigned char>(*at++));
        }
    }
}

void QelLineWeight::AddByte(unsigned char byte) noexcept
{
    if (m_Pending > 0) {
        if ((byte & 0xC0) == 0x80) {
            --m_Pending;
            ++m_Run;
            return;
        }
        // The lead byte before began no character: the control draws it
        // as a box.
        m_Pending = 0;
        m_Run += kBreakWeight;
    }
    if (byte == '\n' || byte == '\r') {
        m_Heaviest = std::max(m_Heaviest, m_Run);
        m_Run = 0;
        return;
    }
    ++m_Run;
    if (byte >= 0xC2 && byte <= 0xF4)
        m_Pending = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : 1;
    else if (byte < 0x20 || byte >= 0x7F)
        m_Run += kBreakWeight;
}

void QelLongestLine::Add(const char* bytes, size_t size) noexcept
{
    // The first line end and the last: either byte ends a line, and a CR LF
    // split between two blocks ends one line at the CR.
    const char* first = nullptr;
    for (const int end : {'\n', '\r'})
        if (const void* found = std::memchr(bytes, end, size); found != nullptr)
            first = first == nullptr ? static_cast<const char*>(found)
                                     : std::min(first, static_cast<const char*>(found));
    if (first == nullptr) {
        m_Run += size;
        return;
    }
    const char* last = first;
    for (const int end : {'\n', '\r'})
        if (const void* found = memrchr(bytes, end, size); found != nullptr)
            last = std::max(last, static_cast<const char*>(found));
    m_Longest = std::max(m_Longest, m_Run + static_cast<size_t>(first - bytes));
    m_Run = static_cast<size_t>(bytes + size - last - 1);
}

wxString QelBasePathOf(const wxString& line)
{
    const wxString key = "Basepath:";
    if (!line.StartsWith(key)) return wxEmptyString;

    // "Basepath: ../src\n" as written in a catalog header: the folder ends
    // three characters before the line end (the "\n" escape and the quote).
    const size_t from = key.length() + 1;
    if (line.length() < from + 3) return wxEmptyString;
    return line.Mid(from, line.length() - 3 - from);
}
