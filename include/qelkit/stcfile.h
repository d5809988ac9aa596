// The binding of one editor control to its file: how the file's bytes get
// into the document and back, and what a change on disk does to it.
#pragma once

#include <chrono>
#include <cstddef>
#include <vector>

#include <wx/string.h>

#include <qelkit/file.h>

class QelSTC;

class QelSTCFile : public QelFile {
public:
    // Bound to the editor that owns it (never null, not owned).
    explicit QelSTCFile(QelSTC* stc);
    ~QelSTCFile() override;

    QelSTCFile(const QelSTCFile&) = delete;
    QelSTCFile& operator=(const QelSTCFile&) = delete;

    // CheckSync for idle time: only while the editor is shown on screen, and
    // at most twice a second; an editor shown again checks at once. A timer
    // follows the files of the shown editors meanwhile (QelSTC::FollowFile),
    // so that a change to a shown file is noticed within a second when no
    // other event comes.
    bool CheckSyncIfDue();

    QelSTC& GetSTC() const noexcept { return *m_STC; }

    // Whether another editor shows this editor's document (a split view).
    bool IsShared() const { return !Views().empty(); }

    // For an editor that shows the document of another one (a split view):
    // binds to that editor's file as its binding stands, nothing read.
    void FollowView(const QelSTCFile& other);

    // Goes on with a document of its own when the editor shares its
    // document with others, which keep that one with its undo history and
    // changed mark: with a copy of the text, unchanged and without undo
    // history, or empty for a text about to be read.
    void LeaveSharedDocument(bool copy_text);

    bool GetContentsChanged() const override;
    void ResetContentsChanged() override;

    // Inserts the bytes of the file `name` at the caret; a relative name is
    // taken from the bound file's folder. False, with a status message, when
    // the file cannot be read or the document is read-only.
    bool Read(const wxString& name);
    using QelFile::Read;

    // Whether a synchronising read takes only the new tail of the file: a
    // file whose extension is "log" in any case, with a document longer than
    // 1024 positions.
    static bool IsLogTail(const wxFileName& filename, int text_length);

protected:
    Overwrite DoFileOverwriteConfirm() override;
    LeftBackups DoFileLeftBackupsConfirm(const std::vector<wxString>& backups) override;
    bool DoFileLoadConfirm(bool synced) override;
    bool DoFileLoad(bool synced) override;
    void DoFileNew() override;
    bool DoFileSave(bool save_as) override;
    void DoFileSaved(bool save_as) override;
    void DoFileLoaded(bool synced) override;

private:
    // The bindings of the other editors that show this editor's document.
    std::vector<QelSTCFile*> Views() const;
    // Gives them this binding's file and statuses: a save or a read by one
    // view is then no change on disk to the others, and a change on disk is
    // asked about and read once.
    void TellViews() const;
    // Where a read starts: after what was read before for a tail, else 0.
    wxFileOffset ReadOffset(bool get_only_new_data) const;
    // open: the weight of the line a tail goes on with. A file with a line
    // too heavy to lay out is shown whole as a dump instead; true then.
    bool ReadFromFile(bool get_only_new_data, size_t open);
    // Logs why the file cannot be shown, empties the document; false.
    bool Dropped(const wxString& reason);
    // The heaviest line sent; stops before a block with a line too heavy.
    size_t SendBlocks(wxFileOffset offset, wxFileOffset length, bool append, size_t open);
    void SendHexBlocks(wxFileOffset offset, wxFileOffset length);
    void AddBasePathToPathList();

    QelSTC* m_STC;
    wxFileOffset m_PreviousLength = 0;                 // the file's length at the last read
    std::chrono::steady_clock::time_point m_LastCheck; // of CheckSyncIfDue
    bool m_IsView = false; // has followed another editor's binding (a split view)
};

// The largest file the editor can hold, in bytes: its positions are int, and
// in the hexadecimal view every 16 bytes take a dump line of 78 characters.
wxFileOffset QelEditorMaxFileSize(bool hex_view);

// The longest line the editor lays out, in bytes. The control keeps the x
// position of every character of a line in pixels, which the toolkit rounds
// to int: at 32 pixels a byte (a control character's box, a large font zoomed
// in) this is as wide as a line gets, and its layout takes 6 bytes a byte.
wxFileOffset QelEditorMaxLineLength();

// The heaviest line the editor shows as text, as QelLineWeight weighs it.
// The control lays a line out whole again at each change of it: a heavier
// line would hold the window for a second or more at every key, so a file
// that has one is shown in the hexadecimal view instead.
size_t QelEditorMaxLineWeight();

// The heaviest line of bytes given block by block, weighed as the control
// lays it out: each byte of text weighs 1. A tab, a control character and
// a byte that is not part of a UTF-8 character are each measured apart from
// the text around them, which costs as much as kBreakWeight more bytes.
class QelLineWeight {
public:
    static constexpr size_t kBreakWeight = 16;

    // open: the weight of the line that the first block goes on with.
    explicit QelLineWeight(size_t open = 0) noexcept
        : m_Run(open)
    { }

    void Add(const char* bytes, size_t size) noexcept;
    size_t Get() const noexcept { return m_Heaviest > m_Run ? m_Heaviest : m_Run; }

private:
    void AddByte(unsigned char byte) noexcept;

    size_t m_Run;          // the line after the last line end, so far
    size_t m_Heaviest = 0; // of the lines ended so far
    int m_Pending = 0;     // continuation bytes the last UTF-8 lead byte still wants
};

// The longest line of bytes given block by block, for lines longer than a
// block: only the line ends nearest to each block's edges are looked for, so
// a block costs four searches whatever its lines. A line inside one block
// may be longer than the result, but not longer than its block.
class QelLongestLine {
public:
    // open: the length of the line that the first block goes on with.
    explicit QelLongestLine(size_t open = 0) noexcept
        : m_Run(open)
    { }

    void Add(const char* bytes, size_t size) noexcept;
    size_t Get() const noexcept { return m_Longest > m_Run ? m_Longest : m_Run; }

private:
    size_t m_Run;         // the line after the last line end, so far
    size_t m_Longest = 0; // of the lines ended so far
};

// The folder named by a catalog's "Basepath:" header line, given the line's
// text from "Basepath:" on; empty when there is none. The value runs from
// the blank after the colon to three characters before the line end.
wxString QelBasePathOf(const wxString& line);
