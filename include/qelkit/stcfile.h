// The binding of one editor control to its file: how the file's bytes get
// into the document and back, and what a change on disk does to it.
#pragma once

#include <chrono>

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
    // runs the idle handlers of the shown editors meanwhile, so that a change
    // to a shown file is noticed within a second when no other event comes.
    bool CheckSyncIfDue();

    QelSTC& GetSTC() const noexcept { return *m_STC; }

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
    bool DoFileLoadConfirm(bool synced) override;
    bool DoFileLoad(bool synced) override;
    void DoFileNew() override;
    bool DoFileSave(bool save_as) override;
    void DoFileSaved(bool save_as) override;

private:
    void ReadFromFile(bool get_only_new_data);
    void SendBlocks(wxFileOffset offset, wxFileOffset length, bool append);
    void SendHexBlocks(wxFileOffset offset, wxFileOffset length);
    void AddBasePathToPathList();

    QelSTC* m_STC;
    wxFileOffset m_PreviousLength = 0;                 // the file's length at the last read
    std::chrono::steady_clock::time_point m_LastCheck; // of CheckSyncIfDue
};

// The largest file the editor can hold, in bytes: its positions are int, and
// in the hexadecimal view every 16 bytes take a dump line of 78 characters.
wxFileOffset QelEditorMaxFileSize(bool hex_view);

// The folder named by a catalog's "Basepath:" header line, given the line's
// text from "Basepath:" on; empty when there is none. The value runs from
// the blank after the colon to three characters before the line end.
wxString QelBasePathOf(const wxString& line);
