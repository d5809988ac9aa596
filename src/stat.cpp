#include <qelkit/stat.h>

#include <wx/datetime.h>

QelStat::QelStat(const wxString& fullpath)
    : stat{}
    , m_FullPath(fullpath)
{
    Sync();
}

QelStat::QelStat(const wxString& fullpath, const struct stat& status)
    : stat(status)
    , m_FullPath(fullpath)
    , m_IsOk(true)
{ }

bool QelStat::Sync()
{
    if (m_FullPath.empty()) {
        m_IsOk = false;
        return false;
    }

    // The toolkit's file-name conversion: the C library's one fails on
    // non-ASCII names under the "C" locale. A shown file's status is taken
    // twice a second, and converting its name cost more than the call.
    if (m_SystemPathBy != wxConvFileName) {
        m_SystemPath = m_FullPath.fn_str();
        m_SystemPathBy = wxConvFileName;
    }
    m_IsOk = ::stat(m_SystemPath, this) != -1;

    if (!m_IsOk) {
        // No stale fields of an earlier status while not ok.
        static_cast<struct stat&>(*this) = {};
    }

    return m_IsOk;
}

bool QelStat::Sync(const wxString& fullpath)
{
    if (fullpath != m_FullPath) {
        m_FullPath = fullpath;
        m_SystemPathBy = nullptr;
    }
    return Sync();
}

bool QelStat::IsReadOnly() const noexcept
{
    return m_IsOk && (st_mode & S_IWUSR) == 0;
}

bool QelStat::IsSameVersion(const QelStat& other) const noexcept
{
    if (m_IsOk != other.m_IsOk) return false;
    if (!m_IsOk) return true;

    // Whole seconds are not enough: a file written again within the second
    // of a load or save would never be seen to change.
    return st_dev == other.st_dev && st_ino == other.st_ino && st_size == other.st_size
        && st_mtim.tv_sec == other.st_mtim.tv_sec && st_mtim.tv_nsec == other.st_mtim.tv_nsec;
}

wxString QelStat::GetModificationTime() const
{
    return wxDateTime(static_cast<time_t>(st_mtime)).FormatISOCombined(' ');
}
