#pragma once

// The operating system's status of one path, taken at a known moment.

#include <sys/stat.h>

#include <wx/buffer.h>
#include <wx/string.h>

// The status record's fields (st_mode, st_mtime, st_size ...) are read
// directly by users. The record is zero while no status call succeeded.
class QelStat : public stat {
public:
    // Stores the path exactly as given (not made absolute) and takes its
    // status at once. An empty path is not ok and is never passed to stat().
    explicit QelStat(const wxString& fullpath = wxEmptyString);
    // Stores the path with a status already taken (of the open file).
    QelStat(const wxString& fullpath, const struct stat& status);

    QelStat(const QelStat&) = default;
    QelStat& operator=(const QelStat&) = default;

    // Takes the status of the stored path again; sets and returns IsOk().
    bool Sync();

    // Stores fullpath, then Sync().
    bool Sync(const wxString& fullpath);

    // The last status call on the stored path succeeded (folders too).
    bool IsOk() const noexcept { return m_IsOk; }

    // True only when the status is ok and the owner-write bit is clear;
    // group and other bits and the running user do not count.
    bool IsReadOnly() const noexcept;

    // Whether both took the status of the same version of a file: the same
    // file (device and inode, so that one renamed over it counts as another),
    // the same size and the same modification time to the nanosecond. Two
    // statuses that are not ok are the same; one that is and one that is not
    // are not.
    bool IsSameVersion(const QelStat& other) const noexcept;

    // st_mtime as local "YYYY-MM-DD HH:MM:SS" (whole seconds).
    wxString GetModificationTime() const;

    const wxString& GetFullPath() const noexcept { return m_FullPath; }

private:
    wxString m_FullPath;
    bool m_IsOk = false;
    // The path as the system takes it, by the file-name conversion it was
    // made with: a status taken again and again converts it once.
    wxCharBuffer m_SystemPath;
    const wxMBConv* m_SystemPathBy = nullptr;
};
