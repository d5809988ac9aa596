#pragma once

// The binding of an object to one file on disk: load, new, save and the
// change detection that reloads the object when someone else changed the file.

#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include <wx/buffer.h>
#include <wx/file.h>
#include <wx/filename.h>
#include <wx/string.h>

class wxWindow;

#include <qelkit/filename.h>
#include <qelkit/stat.h>

// Replaces the file at path with size bytes of data, so that it is either
// completely written or left as it was: the data goes to a new file in the
// same folder, which is then renamed over the target. The target keeps its
// permission bits (a new file gets 0666 less the umask); when path is a
// symbolic link the link stays and the file it points to is replaced.
// A file that a new one could not stand in for (one with more than one
// name, in a folder the user cannot write, or whose owner and group a new
// file could not get) is written in place after its text was copied aside;
// a write that fails puts that copy back, or names it when it cannot.
// Logs the path and the system error on failure.
[[nodiscard]] bool QelWriteFileAtomic(const wxString& path, const void* data, size_t size);

// The copies of the old text of the file at path that writes in place made
// and that no running save owns: left by a save that did not finish (the
// program was killed, the machine went down) or that could not put the old
// text back. They are looked for beside the file, in the program's own
// folder and in the temporary folder, in that order; only those of the
// running user or of the file's owner count.
std::vector<wxString> QelLeftBackups(const wxString& path);

// A tag of the bytes of a file's name as the file system has them (UTF-8
// for one it cannot hold), the same in every run and every build, which
// std::hash need not be: 64-bit FNV-1a as 16 hexadecimal digits. Names
// what belongs to a file or folder where its name cannot be used.
wxString QelPathTag(const wxString& path);

// All the bytes of the regular file at path. False, with the system's reason
// or "not a regular file" in *why, when it cannot be read; a FIFO or a
// device is refused without waiting for a writer, and a file of more than
// max_bytes unread.
[[nodiscard]] bool QelReadWholeFile(const wxString& path, std::string* bytes, wxString* why,
                                    size_t max_bytes = size_t{256} << 20);

// Marks a question about a file as shown while it is alive. The checks of
// every binding wait meanwhile (an idle event in the question's event loop
// must not open a second question inside it); they ask once it is answered.
class QelFileQuestion {
public:
    QelFileQuestion() noexcept { ++m_Shown; }
    ~QelFileQuestion() { --m_Shown; }
    QelFileQuestion(const QelFileQuestion&) = delete;
    QelFileQuestion& operator=(const QelFileQuestion&) = delete;

    static bool IsShown() noexcept { return m_Shown > 0; }

private:
    static inline int m_Shown = 0;
};

class QelFile : public wxFile {
public:
    // Not bound. With open_file true, loads and saves open the handle around
    // the hooks (read mode for DoFileLoad, write mode for DoFileSave); with
    // false the hooks do their own file access by GetFileName().
    explicit QelFile(bool open_file = true);

    // Opens the handle at once on filename in mode and keeps it open for the
    // life of the object (typically followed by Read(0)). Only a regular
    // file is opened, without waiting: the handle stays closed for a named
    // pipe or a device, and the reason is logged with the path.
    QelFile(const wxFileName& filename, wxFile::OpenMode mode, bool open_file = true);

    QelFile(const QelFile&) = delete;
    QelFile& operator=(const QelFile&) = delete;

    virtual ~QelFile();

    // The object differs from the file.
    virtual bool GetContentsChanged() const { return false; }

    // Marks the object as equal to the file.
    virtual void ResetContentsChanged() { }

    // Binds to an existing file (made absolute) and loads it. False, with the
    // binding unchanged, when the file does not exist, the load was not
    // confirmed, cannot be opened or the hook failed. Copies of the file's
    // old text that saves which did not finish left are named in the log
    // and the status line.
    bool FileLoad(const QelFileName& filename);

    // Binds to a name that need not exist; nothing is read or written.
    void FileNew(const QelFileName& filename);

    // Saves under the bound name, or with a valid filename binds to it (made
    // absolute) first ("save as"). The file on disk is replaced only when the
    // whole save succeeded; on failure the contents stay marked as changed,
    // the binding stays on the old name and false is returned. A save under
    // the bound name over a file that changed on disk since the last load or
    // save asks DoFileOverwriteConfirm first, and a save over a file with
    // copies left by saves that did not finish DoFileLeftBackupsConfirm;
    // false unless it wrote.
    bool FileSave(const QelFileName& filename = QelFileName());

    // Reloads the object when the file changed on disk (its modification
    // time to the nanosecond, its size or the file itself differ from what
    // was last loaded or saved) and "AllowSync" (default true) is on.
    // Refused while a load or save is under way, and while any question
    // about a file is shown; otherwise the bound name's status is taken
    // again, whatever the setting.
    // True only when the object was reloaded.
    bool CheckSync();

    // The bytes of the open file from seek_position to its end (a zero byte
    // follows them; length() counts only the file's bytes). Empty when the
    // handle is closed or the position is outside the file.
    const wxCharBuffer Read(wxFileOffset seek_position);

    // As wxFile's, but a failure is told naming the file, not the handle's
    // descriptor.
    ssize_t Read(void* data, size_t count);
    wxFileOffset Seek(wxFileOffset offset, wxSeekMode mode = wxFromStart);
    wxFileOffset Length() const;

    // Writes all of the bytes, going on after a short write (a nearly full
    // disk); the save fails when not all of them could be written. The first
    // failed write is told, naming the file; nothing is written after it.
    size_t Write(const void* data, size_t count);
    // The text in the given encoding, all of it or the save fails.
    bool Write(const wxString& text, const wxMBConv& conv = wxConvAuto());

    // The bound name, its lexer and the file's latest status.
    const QelFileName& GetFileName() const noexcept { return m_FileName; }

    // What a save does with a file that someone else changed on disk.
    enum class Overwrite {
        yes,    // write over their change
        reload, // load their file instead: the save does not happen
        cancel  // leave the object and the file as they are
    };

    // What a save does with the copies of the file's old text that saves
    // which did not finish left (QelLeftBackups).
    enum class LeftBackups {
        remove, // save, and once saved delete the copies
        keep,   // save, and leave the copies where they are
        cancel  // leave the object, the file and the copies as they are
    };

protected:
    // Asked before a save writes over a file that changed on disk since the
    // last load or save. The object, which nobody else edits, writes over it.
    virtual Overwrite DoFileOverwriteConfirm();
    // The question that a binding shown to the user answers that with: the
    // same three ways out for every kind of document.
    Overwrite AskOverwrite(wxWindow* parent) const;

    // Asked before a save writes over a file of which saves that did not
    // finish left copies (backups names them); a copy kept is not asked
    // about again by this binding. The object, which nobody is asked about,
    // keeps them and says so in the log.
    virtual LeftBackups DoFileLeftBackupsConfirm(const std::vector<wxString>& backups);
    // The question that a binding shown to the user answers that with.
    LeftBackups AskLeftBackups(wxWindow* parent, const std::vector<wxString>& backups) const;

    // Asked before a load or reload opens anything, while the binding is
    // still on the current file: the place for "save changes first?".
    // False cancels the load; the contents keep their changed mark.
    virtual bool DoFileLoadConfirm(bool synced);

    // Fills the object from the file; synced is true for a reload after an
    // outside change, which always finds the handle open. False when nothing
    // was loaded: the changed mark is then left as it is.
    virtual bool DoFileLoad(bool synced);

    // Prepares the object for a new file that is not yet on disk.
    virtual void DoFileNew();

    // Writes the object; with open_file the handle is open for writing on a
    // new file that replaces the target only after this returns true.
    // save_as is true when a new name was given.
    virtual bool DoFileSave(bool save_as);

    // Called once the saved file is in place, the contents are marked as
    // unchanged and the statuses are taken: confirmations belong here.
    virtual void DoFileSaved(bool save_as);

    // Called once a load is complete: the contents are marked as unchanged
    // and the status of what was read is taken.
    virtual void DoFileLoaded(bool synced);

    // Takes the binding of another object that holds the same contents: its
    // name and the statuses of its file as last loaded or saved and as last
    // seen changed, so that a change on disk is acted on once for both.
    void Follow(const QelFile& other);

private:
    void LogFailure(const wxString& format) const;
    bool Assign(const QelFileName& filename);
    bool Confirm(bool synced);
    bool Get(bool synced);
    bool MakeAbsolute();
    bool MayOverwrite();
    bool MayWriteOverLeftBackups(std::vector<wxString>* doomed);
    bool Save(bool save_as);
    void TellLeftBackups();

    bool m_OpenFile;
    bool m_WriteFailed = false;       // a write during the save hook fell short
    bool m_Overwriting = false;       // the change on disk was answered: write over it
    QelFileName m_FileName;           // the file now: its status is re-taken on every check
    QelStat m_Stat;                   // the file at the last load or save
    QelStat m_Seen;                   // the change on disk the last check acted on
    std::set<wxString> m_KeptBackups; // copies the user chose to keep: not asked again
    std::set<wxString> m_ToldBackups; // copies named at a load: not named again
};
