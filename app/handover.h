// One program per settings folder: a second start hands its files to the
// program that runs already, through a socket in the user's runtime folder,
// and ends. Two programs on one settings file would overwrite each other's
// settings when they exit.
#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <cstddef>
#include <functional>
#include <memory>

#include <wx/arrstr.h>
#include <wx/string.h>

class wxSingleInstanceChecker;

class QelHandover {
public:
    // Names handed over, and the working folder of the start that named them.
    using Receiver = std::function<void(const wxString& cwd, const wxArrayString& files)>;

    // A request longer than this is refused, by either end.
    static constexpr size_t kMaxRequest = 1 << 20;

    // The lock and the socket are named after the settings folder, so that
    // programs with settings folders of their own never meet. Only a folder
    // of the owner's (the running user) that no one else may enter is used,
    // and only programs of the owner's are talked to; otherwise there is no
    // hand-over and each start runs on its own.
    explicit QelHandover(const wxString& settingsDir, uid_t owner = getuid());
    ~QelHandover();

    // True when another program holds the lock of the settings folder.
    bool IsAnotherRunning();

    // Hands the names over; false when the running program cannot be reached
    // within the time given (it may still be starting), or is not the owner's.
    bool Send(const wxString& cwd, const wxArrayString& files, int milliseconds = 5000) const;

    // Receives what later starts hand over, while the event loop runs; the
    // window never waits for a slow or silent sender. The receiver runs from
    // the event loop, never inside the socket's own handling.
    bool Listen(Receiver receiver);

    const wxString& GetSocketPath() const { return m_Socket; }

private:
    class Server;

    uid_t m_Owner;
    wxString m_Name;
    wxString m_Folder; // empty when no safe folder was found
    wxString m_Socket;
    std::unique_ptr<wxSingleInstanceChecker> m_Checker;
    bool m_Locked = false; // this program holds the lock
    std::unique_ptr<Server> m_Server;
};

// True when path is a folder itself (not a link to one) that belongs to the
// owner and gives others no access at all; otherwise false, with why.
bool QelIsPrivateFolder(const wxString& path, uid_t owner, wxString* why);
