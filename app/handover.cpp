#include "handover.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/evtloopsrc.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/snglinst.h>
#include <wx/utils.h>

#include <qelkit/file.h>

namespace {

// The bytes of a request's length, which comes first, most significant first.
constexpr size_t kLengthBytes = 4;

// The user's runtime folder, else a folder of the user's own under the
// temporary folder; empty when neither is safe. Whoever can write in the
// folder can take the socket's place and receive every later request.
wxString RuntimeDir(uid_t owner)
{
    wxString dir, why;
    if (wxGetEnv("XDG_RUNTIME_DIR", &dir) && !dir.empty() && QelIsPrivateFolder(dir, owner, &why))
        return dir;
    dir = wxFileName::GetTempDir() + wxString::Format("/tindrel-%ld", long(owner));
    // Another user may have made it first: made here or not, it is used
    // only as it is found now.
    if (mkdir(dir.fn_str(), 0700) != 0 && errno != EEXIST)
        why = wxSysErrorMsgStr(errno);
    else if (QelIsPrivateFolder(dir, owner, &why))
        return dir;
    wxLogWarning(_("Files are not handed over between starts: %s: %s"), dir, why);
    return wxString();
}

// The request: its length, then the working folder and each name, each
// followed by a NUL.
std::string Encode(const wxString& cwd, const wxArrayString& files)
{
    std::string bytes = cwd.utf8_string() + '\0';
    for (const auto& file : files) bytes += file.utf8_string() + '\0';
    std::string length(kLengthBytes, '\0');
    for (size_t i = 0; i < kLengthBytes; ++i)
        length[i] = static_cast<char>((bytes.size() >> (8 * (kLengthBytes - 1 - i))) & 0xff);
    return length + bytes;
}

size_t DecodeLength(const std::string& bytes)
{
    size_t length = 0;
    for (size_t i = 0; i < kLengthBytes; ++i)
        length = (length << 8) | static_cast<unsigned char>(bytes[i]);
    return length;
}

// What a request asks for: the working folder (`complete` when there is
// one) and each name once, in the order given. An empty name is never a
// file, and a name again would only select the same page again: neither may
// make a megabyte of them keep the window busy.
struct Parts {
    bool complete = false;
    wxString cwd;
    wxArrayString files;
};

Parts Decode(const std::string& bytes)
{
    Parts parts;
    std::unordered_set<std::string_view> seen;
    for (size_t start = 0, end; (end = bytes.find('\0', start)) != std::string::npos;
         start = end + 1) {
        const std::string_view part(bytes.data() + start, end - start);
        if (!parts.complete) {
            parts.cwd = wxString::FromUTF8(part.data(), part.size());
            parts.complete = true;
        } else if (!part.empty() && seen.insert(part).second) {
            parts.files.push_back(wxString::FromUTF8(part.data(), part.size()));
        }
    }
    return parts;
}

bool SocketAddress(const wxString& path, sockaddr_un* address)
{
    const wxScopedCharBuffer bytes = path.fn_str();
    std::memset(address, 0, sizeof *address);
    if (bytes.length() >= sizeof address->sun_path) return false;
    address->sun_family = AF_UNIX;
    std::memcpy(address->sun_path, bytes.data(), bytes.length());
    return true;
}

// The user at the other end of a connected socket (as the connection was
// made); -1 when it cannot be told.
long PeerUser(int fd)
{
    ucred cred{};
    socklen_t length = sizeof cred;
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &length) != 0) return -1;
    return static_cast<long>(cred.uid);
}

bool SendAll(int fd, const std::string& bytes)
{
    for (size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

// Accepts the owner's connections and reads each request in the event loop,
// a bounded block per wake-up, never waiting for a sender.
class QelHandover::Server {
public:
    Server(int listener, uid_t owner, Receiver receiver)
        : m_Listener(*this, listener)
        , m_Owner(owner)
        , m_Receiver(std::move(receiver))
    {
        m_Listener.Watch();
    }

    bool IsOk() const { return m_Listener.IsWatched(); }

private:
    // A descriptor watched by the event loop. A handler is never deleted
    // while the loop may still call it: a finished one waits in m_Finished.
    class Watched : public wxEventLoopSourceHandler {
    public:
        Watched(Server& server, int fd)
            : m_Server(server)
            , m_Fd(fd)
        { }
        ~Watched() override { Stop(); }
        Watched(const Watched&) = delete;
        Watched& operator=(const Watched&) = delete;

        void Watch()
        {
            m_Source = wxEventLoopBase::AddSourceForFD(
                m_Fd, this, wxEVENT_SOURCE_INPUT | wxEVENT_SOURCE_EXCEPTION);
        }
        bool IsWatched() const { return m_Source != nullptr; }
        void Stop()
        {
            delete m_Source;
            m_Source = nullptr;
            if (m_Fd >= 0) close(m_Fd);
            m_Fd = -1;
        }
        void OnWriteWaiting() override { }
        void OnExceptionWaiting() override { OnReadWaiting(); }

    protected:
        Server& m_Server;
        int m_Fd;
        wxEventLoopSource* m_Source = nullptr;
    };

    class Listener : public Watched {
    public:
        using Watched::Watched;
        void OnReadWaiting() override
        {
            if (m_Fd >= 0) m_Server.Accept(m_Fd);
        }
    };

    class Connection : public Watched {
    public:
        using Watched::Watched;
        void OnReadWaiting() override;

    private:
        void Finish(const wxString& refusal);

        std::string m_Bytes;
    };

    void Accept(int listener);
    void Deliver(const std::string& request) const;

    Listener m_Listener;
    uid_t m_Owner;
    Receiver m_Receiver;
    std::vector<std::unique_ptr<Connection>> m_Connections;
};

void QelHandover::Server::Accept(int listener)
{
    // Connections that ended since the last one, their handlers now idle.
    m_Connections.erase(std::remove_if(m_Connections.begin(), m_Connections.end(),
                                       [](const auto& c) { return !c->IsWatched(); }),
                        m_Connections.end());
    for (;;) {
        const int fd = accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) return;
        if (const long user = PeerUser(fd); user != static_cast<long>(m_Owner)) {
            wxLogWarning(_("Refused to take files from user %ld"), user);
            close(fd);
            continue;
        }
        m_Connections.push_back(std::make_unique<Connection>(*this, fd));
        m_Connections.back()->Watch();
    }
}

void QelHandover::Server::Connection::OnReadWaiting()
{
    if (m_Fd < 0) return;
    // One block per wake-up: a fast sender cannot hold the window.
    char block[65536];
    const ssize_t got = recv(m_Fd, block, sizeof block, 0);
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
    const size_t claimed = m_Bytes.size() >= kLengthBytes ? DecodeLength(m_Bytes) : 0;
    if (got <= 0) {
        Finish(wxString::Format(_("cut short after %zu of %zu bytes"), m_Bytes.size(),
                                claimed + kLengthBytes));
        return;
    }
    m_Bytes.append(block, static_cast<size_t>(got));
    if (m_Bytes.size() < kLengthBytes) return;
    const size_t length = DecodeLength(m_Bytes);
    if (length > kMaxRequest) {
        Finish(wxString::Format(_("%zu bytes claimed, more than %zu"), length, kMaxRequest));
    } else if (m_Bytes.size() > kLengthBytes + length) {
        Finish(wxString::Format(_("longer than the %zu bytes claimed"), length));
    } else if (m_Bytes.size() == kLengthBytes + length) {
        m_Server.Deliver(m_Bytes.substr(kLengthBytes));
        // The sender waits for this before it ends.
        send(m_Fd, "y", 1, MSG_NOSIGNAL);
        Finish(wxString());
    }
}

void QelHandover::Server::Connection::Finish(const wxString& refusal)
{
    if (!refusal.empty()) wxLogWarning(_("Files handed over were dropped: %s"), refusal);
    std::string().swap(m_Bytes);
    Stop();
}

void QelHandover::Server::Deliver(const std::string& request) const
{
    Parts parts = Decode(request);
    if (!parts.complete) return;
    // Opening may ask questions; the sender must not wait for them.
    wxTheApp->CallAfter(
        [receiver = m_Receiver, parts = std::move(parts)] { receiver(parts.cwd, parts.files); });
}

QelHandover::QelHandover(const wxString& settingsDir, uid_t owner)
    : m_Owner(owner)
    , m_Name("tindrel-" + QelPathTag(settingsDir))
    , m_Folder(RuntimeDir(owner))
    , m_Socket(m_Folder.empty() ? wxString() : m_Folder + "/" + m_Name + ".sock")
{ }

QelHandover::~QelHandover()
{
    if (m_Server) {
        m_Server.reset();
        unlink(m_Socket.fn_str());
    }
}

bool QelHandover::IsAnotherRunning()
{
    if (m_Folder.empty()) return false;
    if (!m_Checker) {
        m_Checker = std::make_unique<wxSingleInstanceChecker>();
        m_Locked = m_Checker->Create(m_Name + ".lock", m_Folder) && !m_Checker->IsAnotherRunning();
    }
    return m_Checker->IsAnotherRunning();
}

bool QelHandover::Send(const wxString& cwd, const wxArrayString& files, int milliseconds) const
{
    sockaddr_un address;
    if (m_Folder.empty() || !SocketAddress(m_Socket, &address)) return false;
    const std::string bytes = Encode(cwd, files);
    if (bytes.size() > kLengthBytes + kMaxRequest) {
        wxLogWarning(_("Too many names to hand over: %zu bytes"), bytes.size());
        return false;
    }
    for (int waited = 0;; waited += 100) {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd >= 0
            && connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            bool sent = false;
            if (const long user = PeerUser(fd); user != static_cast<long>(m_Owner)) {
                wxLogWarning(_("Refused to hand files to user %ld at %s"), user, m_Socket);
            } else {
                const timeval limit{milliseconds / 1000, (milliseconds % 1000) * 1000};
                setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
                setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
                char answer = 0;
                sent = SendAll(fd, bytes) && recv(fd, &answer, 1, 0) == 1 && answer == 'y';
            }
            close(fd);
            return sent;
        }
        if (fd >= 0) close(fd);
        if (waited >= milliseconds) return false;
        wxMilliSleep(100);
    }
}

bool QelHandover::Listen(Receiver receiver)
{
    sockaddr_un address;
    // Only the holder of the lock may take the place of a socket left behind.
    if (IsAnotherRunning() || !m_Locked || !SocketAddress(m_Socket, &address)) return false;
    unlink(m_Socket.fn_str());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || listen(fd, 16) != 0) {
        close(fd);
        return false;
    }
    m_Server = std::make_unique<Server>(fd, m_Owner, std::move(receiver));
    if (m_Server->IsOk()) return true;
    m_Server.reset();
    unlink(m_Socket.fn_str());
    return false;
}

bool QelIsPrivateFolder(const wxString& path, uid_t owner, wxString* why)
{
    struct stat st { };
    if (lstat(path.fn_str(), &st) != 0) {
        *why = wxSysErrorMsgStr(errno);
        return false;
    }
    if (S_ISLNK(st.st_mode)) {
        *why = _("a link, not a folder");
    } else if (!S_ISDIR(st.st_mode)) {
        *why = _("not a folder");
    } else if (st.st_uid != owner) {
        *why = wxString::Format(_("the folder of user %ld"), long(st.st_uid));
    } else if ((st.st_mode & 077) != 0) {
        *why = wxString::Format(_("open to others (mode %03o)"), unsigned(st.st_mode & 0777));
    } else {
        return true;
    }
    return false;
}
