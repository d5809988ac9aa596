#include "handover.h"

#include <unistd.h>

#include <wx/app.h>
#include <wx/filename.h>
#include <wx/ipc.h>
#include <wx/snglinst.h>
#include <wx/utils.h>

namespace {

const char kTopic[] = "open";

// The user's runtime folder, else a folder of the user's own under the
// temporary folder: never a place others can plant a socket in.
wxString RuntimeDir()
{
    wxString dir;
    if (wxGetEnv("XDG_RUNTIME_DIR", &dir) && !dir.empty() && wxDirExists(dir)) return dir;
    dir = wxFileName::GetTempDir() + wxString::Format("/tindrel-%ld", long(getuid()));
    if (!wxDirExists(dir)) wxFileName::Mkdir(dir, 0700);
    return dir;
}

// A stable name for a folder (FNV-1a over its bytes).
wxString FolderHash(const wxString& folder)
{
    unsigned long long hash = 14695981039346656037ULL;
    for (const char c : folder.utf8_string()) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return wxString::Format("%016llx", hash);
}

// The message: the working folder, then each name, each followed by a NUL.
std::string Encode(const wxString& cwd, const wxArrayString& files)
{
    std::string bytes = cwd.utf8_string() + '\0';
    for (const auto& file : files) bytes += file.utf8_string() + '\0';
    return bytes;
}

wxArrayString Decode(const char* data, size_t size)
{
    wxArrayString parts;
    size_t start = 0;
    for (size_t i = 0; i < size; ++i)
        if (data[i] == '\0') {
            parts.push_back(wxString::FromUTF8(data + start, i - start));
            start = i + 1;
        }
    return parts;
}

class Connection : public wxConnection {
public:
    explicit Connection(const QelHandover::Receiver& receiver)
        : m_Receiver(receiver)
    { }

    bool OnExecute(const wxString&, const void* data, size_t size, wxIPCFormat) override
    {
        wxArrayString parts = Decode(static_cast<const char*>(data), size);
        if (parts.empty()) return false;
        const wxString cwd = parts[0];
        parts.RemoveAt(0);
        // Opening may ask questions; the sender must not wait for them.
        wxTheApp->CallAfter([receiver = m_Receiver, cwd, parts] { receiver(cwd, parts); });
        return true;
    }

private:
    QelHandover::Receiver m_Receiver;
};

class Server : public wxServer {
public:
    explicit Server(QelHandover::Receiver receiver)
        : m_Receiver(std::move(receiver))
    { }

    wxConnectionBase* OnAcceptConnection(const wxString& topic) override
    {
        return topic == kTopic ? new Connection(m_Receiver) : nullptr;
    }

private:
    QelHandover::Receiver m_Receiver;
};

} // namespace

QelHandover::QelHandover(const wxString& settingsDir)
    : m_Name("tindrel-" + FolderHash(settingsDir))
    , m_Folder(RuntimeDir())
    , m_Socket(m_Folder + "/" + m_Name + ".sock")
{ }

QelHandover::~QelHandover() = default;

bool QelHandover::IsAnotherRunning()
{
    if (!m_Checker) {
        m_Checker = std::make_unique<wxSingleInstanceChecker>();
        if (!m_Checker->Create(m_Name + ".lock", m_Folder)) return false;
    }
    return m_Checker->IsAnotherRunning();
}

bool QelHandover::Send(const wxString& cwd, const wxArrayString& files, int milliseconds) const
{
    const std::string bytes = Encode(cwd, files);
    wxClient client;
    for (int waited = 0;; waited += 100) {
        std::unique_ptr<wxConnectionBase> connection(
            client.MakeConnection("localhost", m_Socket, kTopic));
        if (connection) {
            const bool sent = connection->Execute(bytes.data(), bytes.size());
            connection->Disconnect();
            return sent;
        }
        if (waited >= milliseconds) return false;
        wxMilliSleep(100);
    }
}

bool QelHandover::Listen(Receiver receiver)
{
    m_Server.reset(new Server(std::move(receiver)));
    if (m_Server->Create(m_Socket)) return true;
    m_Server.reset();
    return false;
}
