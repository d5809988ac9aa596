// One program per settings folder: a second start hands its files to the
// program that runs already, through a socket in the user's runtime folder,
// and ends. Two programs on one settings file would overwrite each other's
// settings when they exit.
#pragma once

#include <functional>
#include <memory>

#include <wx/arrstr.h>
#include <wx/ipc.h>
#include <wx/string.h>

class wxSingleInstanceChecker;

class QelHandover {
public:
    // Names handed over, and the working folder of the start that named them.
    using Receiver = std::function<void(const wxString& cwd, const wxArrayString& files)>;

    // The lock and the socket are named after the settings folder, so that
    // programs with settings folders of their own never meet.
    explicit QelHandover(const wxString& settingsDir);
    ~QelHandover();

    // True when another program holds the lock of the settings folder.
    bool IsAnotherRunning();

    // Hands the names over; false when the running program cannot be reached
    // within the time given (it may still be starting).
    bool Send(const wxString& cwd, const wxArrayString& files, int milliseconds = 5000) const;

    // Receives what later starts hand over. The receiver runs from the event
    // loop, never inside the socket's own handling.
    bool Listen(Receiver receiver);

    const wxString& GetSocketPath() const { return m_Socket; }

private:
    wxString m_Name;
    wxString m_Folder;
    wxString m_Socket;
    std::unique_ptr<wxSingleInstanceChecker> m_Checker;
    std::unique_ptr<wxServer> m_Server;
};
