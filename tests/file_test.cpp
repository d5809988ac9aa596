// The file binding on real files: load, new, save, save as, reload after an
// outside change, and the atomic replacement of the file on disk.
#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <optional>
#include <pwd.h>
#include <string>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <wx/config.h>
#include <wx/filefn.h>
#include <wx/scopeguard.h>

#include <qelkit/file.h>
#include <qelkit/paths.h>

#include "testing.h"

using namespace std::string_literals;
using qeltest::ReadBytes;
using qeltest::ShellQuote;
using qeltest::WriteBytes;

namespace {

constexpr long kBaseTime = 1600000000;

// Every entry of a folder, hidden ones too: a temporary file left over shows.
std::string Listing(const wxString& folder)
{
    return qeltest::Run("ls -A --file-type " + ShellQuote(folder)); // "|" marks a pipe, "@" a link
}

// The permission bits as stat(1) prints them.
int ModeOf(const wxString& path)
{
    return std::stoi(qeltest::Run("stat -c %a " + ShellQuote(path)), nullptr, 8);
}

std::string Bytes(const wxCharBuffer& buffer)
{
    return std::string(buffer.data(), buffer.length());
}

struct UmaskGuard {
    explicit UmaskGuard(mode_t mask)
        : old(umask(mask))
    { }
    ~UmaskGuard() { umask(old); }
    mode_t old;
};

// What `write` returns; with `full`, writes beyond 4 KiB fail meanwhile as
// on a full disk (as root too).
template <typename Write> bool OnDisk(bool full, Write write)
{
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit limit{full ? 4096 : old.rlim_cur, old.rlim_max};
    void (*handler)(int) = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
    const bool result = write();
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, handler);
    return result;
}

// A binding whose object is a byte string. The hook calls are recorded as
// "hook(flag)", or "hook(flag,open)" when the handle was open inside it.
class RecordingFile : public QelFile {
public:
    explicit RecordingFile(bool open_file = true)
        : QelFile(open_file)
    { }

    bool GetContentsChanged() const override { return changed; }
    void ResetContentsChanged() override { changed = false; }

    std::string hooks;
    wxString first_bound; // the bound path inside the first hook
    std::string content;
    size_t unchecked_bytes = 0;          // written after the content, results ignored
    std::function<void()> confirming;    // run when a load is confirmed
    std::function<void()> before_saving; // run before the content is written
    std::function<void()> while_saving;  // run once the content is written
    bool changed = false, confirm = true, load_ok = true, save_ok = true;
    bool checks_writes = false;                // the save hook fails when a write falls short
    std::vector<wxString> asked;               // the left copies the saves asked about
    std::optional<LeftBackups> backups_answer; // none: the base's answer

protected:
    LeftBackups DoFileLeftBackupsConfirm(const std::vector<wxString>& backups) override
    {
        asked.insert(asked.end(), backups.begin(), backups.end());
        return backups_answer ? *backups_answer : QelFile::DoFileLeftBackupsConfirm(backups);
    }

    bool DoFileLoadConfirm(bool synced) override
    {
        if (confirming) confirming();
        return Record("confirm", synced) && confirm;
    }
    void DoFileNew() override { Record("new", false); }
    void DoFileSaved(bool save_as) override { Record("saved", save_as); }

    bool DoFileLoad(bool synced) override
    {
        Record("load", synced);
        if (load_ok) content = IsOpened() ? Bytes(Read(0)) : ReadBytes(GetFileName().GetFullPath());
        return load_ok;
    }

    bool DoFileSave(bool save_as) override
    {
        Record("save", save_as);
        if (before_saving) before_saving();
        if (!save_ok || !IsOpened())
            return save_ok
                && QelWriteFileAtomic(GetFileName().GetFullPath(), content.data(), content.size());
        if (checks_writes) return Write(content.data(), content.size()) == content.size();
        Write(content.data(), content.size());
        const std::string block(1024, 'x');
        for (size_t done = 0; done < unchecked_bytes; done += block.size())
            Write(block.data(), block.size());
        if (while_saving) while_saving();
        return true;
    }

private:
    bool Record(const char* hook, bool flag)
    {
        if (hooks.empty())
            first_bound = GetFileName().GetFullPath();
        else
            hooks += " ";
        hooks += std::string(hook) + (flag ? "(1" : "(0") + (IsOpened() ? ",open)" : ")");
        return true;
    }
};

// Runs body in a child process, as the user nobody in the group users when
// as_nobody; the child ends with what body returns. Its process id.
pid_t InChild(bool as_nobody, const std::function<int()>& body)
{
    const pid_t child = fork();
    if (child != 0) return child;
    const passwd* nobody = getpwnam("nobody");
    const group* users = getgrnam("users");
    if (as_nobody) {
        const gid_t groups[] = {users->gr_gid};
        const gid_t gid = nobody->pw_gid;
        if (setgroups(1, groups) != 0 || setresgid(gid, gid, gid) != 0
            || setresuid(nobody->pw_uid, nobody->pw_uid, nobody->pw_uid) != 0)
            _exit(2);
    }
    _exit(body());
}

class FileBinding : public qeltest::ConfigTest {
protected:
    // A file in the test's own folder with a known modification time.
    wxString Make(const wxString& name, const std::string& bytes)
    {
        const wxString path = m_Files.File(name);
        EXPECT_TRUE(WriteBytes(path, bytes));
        Touch(path, 0);
        return path;
    }

    // Binds to a fresh "a.txt" holding "old"; the hooks of the load are forgotten.
    wxString LoadOld(RecordingFile& file)
    {
        const wxString path = Make("a.txt", "old");
        EXPECT_TRUE(file.FileLoad(QelFileName(path)));
        file.hooks.clear();
        return path;
    }

    // Someone else changed the file: it gets another modification time.
    static void Touch(const wxString& path, long seconds = 10)
    {
        qeltest::SetModificationTime(path, kBaseTime + seconds);
    }

    // The binding in one line: hooks called, bound name (relative to the test's
    // folder), marks and contents.
    std::string State(const RecordingFile& file) const
    {
        wxString name = file.GetFileName().GetFullPath();
        name.Replace(m_Files.Path() + "/", "");
        return "[" + file.hooks + "] " + name.utf8_string() + (file.changed ? " changed" : "")
            + (file.IsOpened() ? " open" : "") + " '" + file.content + "'";
    }

    qeltest::TempDir m_Files;
};

} // namespace

// The whole file, through the handle the binding opens or by the hooks' own
// access; the name is bound absolute and followed from any working folder.
TEST_F(FileBinding, LoadSaveAndReloadWithAndWithoutTheHandle)
{
    const wxString name = wxString::FromUTF8("data ä.bin");
    for (const bool open_file : {true, false}) {
        SCOPED_TRACE(open_file);
        const wxString path = Make(name, "head\0tail \xff\xfe\r\n\xc3\xa4 end"s);
        RecordingFile file(open_file);
        file.changed = true;
        {
            qeltest::CwdGuard cwd(m_Files.Path());
            ASSERT_TRUE(file.FileLoad(QelFileName(name)));
        }
        EXPECT_EQ(file.content, qeltest::Run("cat " + ShellQuote(path)));
        file.content = "saved";
        ASSERT_TRUE(file.FileSave());
        EXPECT_EQ(ReadBytes(path), "saved");
        ASSERT_TRUE(WriteBytes(path, "changed"));
        EXPECT_TRUE(file.CheckSync()); // a reload always finds the handle open
        const std::string open = open_file ? ",open" : "";
        EXPECT_EQ(State(file),
                  "[confirm(0) load(0" + open + ") save(0" + open
                      + ") saved(0) confirm(1) load(1,open)] " + name.utf8_string() + " 'changed'");
    }
}

// A load or save that does not happen is no success: the binding, the
// contents, the changed mark and the file on disk stay, no temporary file is
// left, and the old file is still followed. "Save changes first?" is asked
// before anything is opened, about the file still bound.
TEST_F(FileBinding, LoadOrSaveThatDoesNotHappenChangesNothing)
{
    ASSERT_TRUE(wxMkdir(m_Files.File("folder")));
    qeltest::Run("cd " + ShellQuote(m_Files.Path())
                 + " && mkfifo pipe && ln -s pipe link && ln -s loop loop");
    Make("b.txt", "other");
    struct Row {
        const char* name;
        bool load;          // else a save
        const char* target; // empty: save under the bound name
        std::string refuse; // the hook that fails
        bool full_disk;     // the hook writes more than fits, ignoring the errors
        std::string hooks;
        const char* logged; // the file the one message names; empty for none
        bool checks_writes = false;
    };
    const Row rows[] = {
        {"missing file", true, "missing.txt", "", false, "", ""},
        {"a named pipe", true, "pipe", "", false, "", ""},
        {"confirmation refused", true, "b.txt", "confirm", false, "confirm(0)", ""},
        {"load hook failed", true, "b.txt", "load", false, "confirm(0) load(0,open)", ""},
        {"target is a folder", false, "folder", "", false, "", "folder"},
        // Saved through, the pipe or a device would be replaced by a file.
        {"target is a named pipe", false, "pipe", "", false, "", "pipe"},
        {"target links to a named pipe", false, "link", "", false, "", "link"},
        {"target is a loop of links", false, "loop", "", false, "", "loop"},
        {"save hook failed", false, "", "save", false, "save(0,open)", ""},
        {"full disk", false, "", "", true, "save(0,open)", "a.txt"},
        // One write larger than the room left is cut short without an error:
        // the save must still fail rather than put a truncated file in place.
        {"short write", false, "", "", true, "save(0,open)", "a.txt"},
        {"full disk, the hook checks its writes", false, "", "", true, "save(0,open)", "a.txt",
         true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RecordingFile file;
        const wxString old_path = LoadOld(file);
        const bool short_write = row.full_disk && row.name != std::string("full disk");
        const std::string unsaved = short_write ? std::string(64 * 1024, 'z') : "unsaved";
        file.content = unsaved;
        file.changed = true;
        file.confirm = row.refuse != "confirm";
        file.load_ok = row.refuse != "load";
        file.save_ok = row.refuse != "save";
        file.unchecked_bytes = row.full_disk && !short_write ? 64 * 1024 : 0;
        file.checks_writes = row.checks_writes;
        const QelFileName target
            = row.target[0] ? QelFileName(m_Files.File(row.target)) : QelFileName();
        qeltest::LogCapture log;
        EXPECT_FALSE(OnDisk(row.full_disk, [&] {
            return row.load ? file.FileLoad(target) : file.FileSave(target);
        }));
        EXPECT_EQ(State(file), "[" + row.hooks + "] a.txt changed '" + unsaved + "'");
        EXPECT_EQ(file.first_bound, file.hooks.empty() ? wxString() : old_path);
        EXPECT_EQ(ReadBytes(old_path), "old");
        EXPECT_EQ(Listing(m_Files.Path()), "a.txt\nb.txt\nfolder/\nlink@\nloop@\npipe|\n");
        EXPECT_TRUE(!row.logged[0] || log.Has(m_Files.File(row.logged))) << log.Dump();
        EXPECT_EQ(log.Records().size(), row.logged[0] ? 1u : 0u) << log.Dump();

        // A reload refused or failed as the load was is tried once per change
        // on disk (idle events keep calling CheckSync), and keeps the changes.
        Touch(old_path);
        const bool refused = row.refuse == "confirm" || row.refuse == "load";
        EXPECT_EQ(file.CheckSync(), !refused);
        if (refused) {
            EXPECT_FALSE(file.CheckSync());
            std::string again = row.hooks; // the same hooks, called for a reload
            std::replace(again.begin(), again.end(), '0', '1');
            EXPECT_EQ(State(file), "[" + row.hooks + " " + again + "] a.txt changed 'unsaved'");
            file.confirm = file.load_ok = true;
            Touch(old_path, 20);
            EXPECT_TRUE(file.CheckSync());
        }
        EXPECT_EQ(file.content, "old");
    }
}

// One reload per change on disk, earlier or later, with the read-only
// attribute; none while "AllowSync" is off; the file is followed again when
// it comes back after it vanished.
TEST_F(FileBinding, ReloadFollowsEachChangeOnDisk)
{
    RecordingFile file;
    const wxString path = LoadOld(file);
    ASSERT_TRUE(WriteBytes(path, "new"));
    qeltest::Run("chmod 0444 " + ShellQuote(path));
    EXPECT_TRUE(file.CheckSync());
    EXPECT_FALSE(file.CheckSync()); // one change, one reload
    EXPECT_EQ(State(file), "[confirm(1) load(1,open)] a.txt 'new'");
    EXPECT_TRUE(file.GetFileName().GetStat().IsReadOnly());

    qeltest::Run("chmod 0644 " + ShellQuote(path));
    Touch(path, -3600);
    wxConfigBase::Get()->Write("AllowSync", false);
    EXPECT_FALSE(file.CheckSync());
    wxConfigBase::Get()->Write("AllowSync", true);
    EXPECT_TRUE(file.CheckSync());

    ASSERT_TRUE(wxRemoveFile(path));
    EXPECT_FALSE(file.CheckSync());
    // Nothing to reload from a named pipe (whose open would block).
    qeltest::Run("mkfifo " + ShellQuote(path));
    Touch(path, 30);
    EXPECT_FALSE(file.CheckSync());
    ASSERT_TRUE(wxRemoveFile(path));
    EXPECT_EQ(file.content, "new");
    // Nor from a file that became one while the reload was confirmed. The
    // test holds it open, so that an open that waited for a writer would
    // not hang it.
    ASSERT_TRUE(WriteBytes(path, "changed"));
    int writer = -1;
    file.confirming = [&] {
        wxRemoveFile(path);
        qeltest::Run("mkfifo " + ShellQuote(path));
        writer = open(path.fn_str(), O_RDWR);
    };
    {
        qeltest::LogCapture log;
        EXPECT_FALSE(file.CheckSync());
        EXPECT_TRUE(log.Has(path + "': not a regular file")) << log.Dump();
    }
    file.confirming = nullptr;
    close(writer);
    ASSERT_TRUE(wxRemoveFile(path));
    EXPECT_EQ(file.content, "new");
    ASSERT_TRUE(WriteBytes(path, "back again"));
    Touch(path, 60);
    EXPECT_TRUE(file.CheckSync());
    EXPECT_EQ(file.content, "back again");

    // Within the second of the last reload: the time to the nanosecond, the
    // size and the file itself (renamed over it) each tell a change.
    for (const char* change :
         {"printf now > a.txt", "sleep 0.05; printf new > a.txt", "touch -m -d @1600000000 a.txt",
          "printf one > a.txt; touch -m -d @1600000000.5 a.txt",
          "printf longer > a.txt; touch -m -d @1600000000.5 a.txt",
          "printf sixsix > b; touch -r a.txt b; mv b a.txt"}) {
        SCOPED_TRACE(change);
        qeltest::Run("cd " + ShellQuote(m_Files.Path()) + " && " + change);
        EXPECT_TRUE(file.CheckSync());
        EXPECT_EQ(file.content, ReadBytes(path));
    }
}

// A new name is followed once saved; save as binds to the new name made
// absolute. (That a save replaces the file only after the hook wrote all of
// it: the failed saves of LoadOrSaveThatDoesNotHappenChangesNothing.)
TEST_F(FileBinding, SaveAndSaveAs)
{
    UmaskGuard mask(027);
    const wxString path = m_Files.File("new.txt");
    RecordingFile file;
    file.FileNew(QelFileName(path));
    EXPECT_FALSE(wxFileExists(path));
    EXPECT_FALSE(file.CheckSync());
    file.content = "fresh";
    file.changed = true;
    ASSERT_TRUE(file.FileSave());
    EXPECT_EQ(ModeOf(path), 0640);  // 0666 less the umask, as a plain create
    EXPECT_FALSE(file.CheckSync()); // our own save is no outside change

    file.content = "new contents";
    file.changed = true;
    ASSERT_TRUE(file.FileSave());
    EXPECT_EQ(State(file),
              "[new(0) save(0,open) saved(0) save(0,open) saved(0)] new.txt 'new contents'");
    EXPECT_EQ(ReadBytes(path), "new contents");
    EXPECT_EQ(Listing(m_Files.Path()), "new.txt\n");

    file.hooks.clear();
    file.content = "copy";
    file.changed = true;
    {
        qeltest::CwdGuard cwd(m_Files.Path());
        ASSERT_TRUE(file.FileSave(QelFileName("other.txt")));
    }
    const wxString other = m_Files.File("other.txt");
    EXPECT_EQ(State(file), "[save(1,open) saved(1)] other.txt 'copy'");
    EXPECT_EQ(file.first_bound, other);
    EXPECT_EQ(ReadBytes(other), "copy");
    EXPECT_EQ(ReadBytes(path), "new contents");

    Touch(path); // only the new file is followed
    EXPECT_FALSE(file.CheckSync());
    ASSERT_TRUE(wxMkdir(m_Files.File("sub")));
    Make("sub/other.txt", "not ours");
    qeltest::CwdGuard cwd(m_Files.File("sub")); // the name was relative to another folder
    Touch(other);
    EXPECT_TRUE(file.CheckSync());
}

TEST_F(FileBinding, SaveKeepsPermissionBitsAndSymbolicLinks)
{
    ASSERT_TRUE(wxMkdir(m_Files.File("sub")));
    const wxString real = Make("sub/real.txt", "old");
    qeltest::Run("chmod 0751 " + ShellQuote(real));
    qeltest::Run("cd " + ShellQuote(m_Files.Path())
                 + " && ln -s sub/real.txt link && ln -s link chain");

    for (const char* name : {"sub/real.txt", "chain"}) {
        SCOPED_TRACE(name);
        RecordingFile file;
        ASSERT_TRUE(file.FileLoad(QelFileName(m_Files.File(name))));
        file.content = std::string("written through ") + name;
        ASSERT_TRUE(file.FileSave());
        EXPECT_EQ(file.GetFileName().GetFullPath(), m_Files.File(name)); // the link stays bound
        EXPECT_EQ(ReadBytes(real), file.content);
        EXPECT_EQ(ModeOf(real), 0751);
        EXPECT_EQ(qeltest::Run("cd " + ShellQuote(m_Files.Path()) + " && readlink link chain"),
                  "sub/real.txt\nlink\n");
        EXPECT_FALSE(file.CheckSync());
    }
    EXPECT_EQ(Listing(m_Files.File("sub")), "real.txt\n");
}

// A save that fails once its folder stops letting files be removed (made
// immutable, which holds for root too) leaves no bytes behind; the next save
// of the file, by the same process, removes what is left.
TEST_F(FileBinding, FailedSaveLeavesNoBytesAndTheNextRemovesWhatIsLeft)
{
    RecordingFile file;
    const wxString path = LoadOld(file);
    const wxString folder = ShellQuote(m_Files.Path());
    wxON_BLOCK_EXIT0([&] { qeltest::Run("chattr -i " + folder + " 2>/dev/null"); });
    int immutable = -1;
    file.while_saving = [&] { qeltest::Run("chattr +i " + folder + " 2>/dev/null", &immutable); };
    file.content = std::string(1 << 20, 'x');
    {
        qeltest::LogCapture log;
        EXPECT_FALSE(file.FileSave());
        if (immutable != 0) GTEST_SKIP() << "no immutable folders here";
        EXPECT_TRUE(log.Has(path)) << log.Dump();
        EXPECT_EQ(log.Count("Cannot remove the emptied temporary file"), 1u) << log.Dump();
    }
    qeltest::Run("chattr -i " + folder);
    // The name and the size of what is left.
    const std::string left
        = qeltest::Run("cd " + folder + " && find . -name '.a.txt.*' -printf '%f %s\\n'");
    EXPECT_EQ(left.substr(left.find(' ')), " 0\n") << left;
    EXPECT_EQ(Listing(m_Files.Path()), left.substr(0, left.find(' ')) + "\na.txt\n");
    file.while_saving = nullptr;
    EXPECT_TRUE(file.FileSave());
    EXPECT_EQ(Listing(m_Files.Path()), "a.txt\n");
    EXPECT_EQ(ReadBytes(path), file.content);
}

// Where a new file renamed over it would not be the same file (a second
// name links to it, its folder is not the user's to write, or the user
// cannot give a new file its owner and group) the file is written in place:
// its inode, owner, group and mode stay, and no copy is left. The last two
// are saved by the user nobody, a member of the group users.
TEST_F(FileBinding, SaveWritesInPlaceWhereANewFileWouldNotBeTheSame)
{
    ASSERT_TRUE(getpwnam("nobody") != nullptr && getgrnam("users") != nullptr);
    const wxString top = ShellQuote(m_Files.Path());
    qeltest::Run("cd " + top + " && chmod 0755 . && mkdir ro shared tmp && chmod 0777 shared"
                 + " && printf old > ro/own.txt && chown nobody ro/own.txt"
                 + " && printf old > shared/s.txt && chgrp users shared/s.txt && chmod 0664 "
                   "shared/s.txt && chown nobody tmp && printf old > a.txt && ln a.txt b.txt");

    // Saves path as nobody (or as root) in a child process; true when that
    // succeeded and was no change on disk to the binding.
    const auto save = [&](const wxString& path, bool as_nobody) {
        const pid_t child = InChild(as_nobody, [&] {
            setenv("TMPDIR", m_Files.File("tmp").fn_str(), 1);
            RecordingFile file;
            const bool loaded = file.FileLoad(QelFileName(path));
            file.content = "saved";
            return loaded && file.FileSave() && !file.CheckSync() ? 0 : 1;
        });
        int status = -1;
        return waitpid(child, &status, 0) == child && status == 0;
    };
    const auto identity = [](const wxString& path) {
        return qeltest::Run("stat -c '%i %U:%G %a' " + ShellQuote(path));
    };
    for (const char* name : {"a.txt", "ro/own.txt", "shared/s.txt"}) {
        SCOPED_TRACE(name);
        const wxString path = m_Files.File(name);
        const std::string before = identity(path);
        EXPECT_TRUE(save(path, name != std::string("a.txt")));
        EXPECT_EQ(identity(path), before);
        EXPECT_EQ(ReadBytes(path), "saved");
    }
    EXPECT_EQ(ReadBytes(m_Files.File("b.txt")), "saved");
    EXPECT_EQ(qeltest::Run("cd " + top + " && ls -A . ro shared tmp"),
              ".:\na.txt\nb.txt\nro\nshared\ntmp\n\nro:\nown.txt\n\nshared:\ns.txt\n\ntmp:\n");

    // A write in place that fails (a full disk) puts the old text back, times
    // and all, so that nothing seems to have changed it on disk; where
    // even that fails, the old text is kept in a copy that the message names.
    void (*handler)(int) = signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    for (const size_t size : {100, 6000}) {
        SCOPED_TRACE(size);
        const wxString path = Make("a.txt", std::string(size, 'o'));
        RecordingFile file;
        ASSERT_TRUE(file.FileLoad(QelFileName(path)));
        file.content = std::string(64 * 1024, 'n');
        file.changed = file.checks_writes = true;
        file.before_saving = [&] {
            const rlimit limit{4096, old.rlim_max};
            setrlimit(RLIMIT_FSIZE, &limit);
        };
        qeltest::LogCapture log;
        EXPECT_FALSE(file.FileSave());
        setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_TRUE(file.changed);
        EXPECT_TRUE(log.Has(path)) << log.Dump();
        const std::string kept = qeltest::Run("cd " + top + " && ls -A | grep '^\\.a\\.txt\\.'");
        if (size < 4096) {
            EXPECT_EQ(ReadBytes(path), std::string(size, 'o'));
            // The old text is back with its times: the binding sees no change.
            EXPECT_FALSE(file.CheckSync()) << file.hooks;
            EXPECT_EQ(kept, "");
            EXPECT_EQ(log.Records().size(), 1u) << log.Dump();
        } else {
            ASSERT_FALSE(kept.empty());
            const wxString copy = m_Files.File(wxString::FromUTF8(kept.substr(0, kept.size() - 1)));
            EXPECT_EQ(ReadBytes(copy), std::string(size, 'o'));
            EXPECT_TRUE(log.Has("kept in '" + copy + "'")) << log.Dump();
            wxRemoveFile(copy);
        }
        EXPECT_EQ(ReadBytes(m_Files.File("b.txt")), ReadBytes(path));
    }
    signal(SIGXFSZ, handler);
}

// A save in place that is killed leaves the new text over the old in the
// file and the old text whole in its copy: beside the file, else in the
// program's folder, else in the temporary folder, named so that the file
// finds it there. While the save runs the copy is its own and nothing is
// said; once the save was killed, opening the file names the copy in the
// log and the status line, and each save asks about it until it is kept or
// removed, once the file is saved. A save killed while it copied (by the
// signal of the size limit) left the file whole and a part of a copy, and a
// save by rename its temporary file: neither is told, the next save removes
// them.
TEST_F(FileBinding, CopyLeftByAKilledSaveIsToldAndGoesOnlyWhenSavedOver)
{
    ASSERT_TRUE(getpwnam("nobody") != nullptr && getgrnam("users") != nullptr);
    const wxString top = ShellQuote(m_Files.Path());
    qeltest::Run("cd " + top + " && chmod 0755 . && mkdir ro own tmp && chmod 0777 own"
                 + " && chown nobody tmp && touch a.txt c.txt ro/own.txt && ln a.txt b.txt"
                 + " && chown nobody ro/own.txt");
    // Where the program's folder is not nobody's to write, the settings
    // folder cannot be made either: the copy goes to the temporary folder.
    const wxString tmp = m_Files.File("tmp"), no_folder = m_Files.File("c.txt");
    qeltest::EnvGuard tmpdir("TMPDIR", &tmp), config("XDG_CONFIG_HOME", &no_folder);
    wxON_BLOCK_EXIT0([] { QelSetPathsOverride(""); });
    const auto hidden = [&] {
        return qeltest::Run(
            "cd " + top + " && find . -mindepth 1 -maxdepth 2 -name '.?*' -printf '%P\\n' | sort");
    };

    const struct {
        const char* name;
        const char* file;
        bool as_nobody;
        const char* settings; // the program's own folder
        int signal;           // that ends the save
        const char* left;     // the start of the one file the save left
        bool copy;            // that file is a whole copy of the old text
    } rows[] = {
        {"beside the file", "a.txt", false, "own", SIGKILL, ".a.txt.", true},
        {"in the program's folder", "ro/own.txt", true, "own", SIGKILL, "own/.own.txt.", true},
        {"in the temporary folder", "ro/own.txt", true, "ro", SIGKILL, "tmp/.own.txt.", true},
        {"killed while it copied", "a.txt", false, "own", SIGXFSZ, ".a.txt.", false},
        {"a save by rename", "c.txt", false, "own", SIGKILL, ".c.txt.", false},
    };
    const std::string old_text(8192, 'o'), mixed = "NEW" + old_text.substr(3);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const wxString path = m_Files.File(row.file);
        ASSERT_TRUE(WriteBytes(path, old_text));
        QelSetPathsOverride(m_Files.File(row.settings));
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = InChild(row.as_nobody, [&] {
            const rlimit limit{4096, 4096};
            if (row.signal == SIGXFSZ && setrlimit(RLIMIT_FSIZE, &limit) == 0)
                signal(SIGXFSZ, SIG_DFL);
            RecordingFile file;
            if (!file.FileLoad(QelFileName(path))) return 1;
            file.content = "NEW";
            file.while_saving = [&] {
                if (write(ready[1], "!", 1) == 1) pause(); // killed here
            };
            return file.FileSave() ? 0 : 1;
        });
        close(ready[1]);
        char byte = 0;
        const bool mid_save = read(ready[0], &byte, 1) == 1;
        close(ready[0]);
        qeltest::LogCapture log;
        EXPECT_TRUE(RecordingFile().FileLoad(QelFileName(path)));
        EXPECT_TRUE(log.Records().empty()) << log.Dump();
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(mid_save == (row.signal == SIGKILL) && WIFSIGNALED(status)
                    && WTERMSIG(status) == row.signal)
            << status;
        EXPECT_TRUE(ReadBytes(path) == (row.copy ? mixed : old_text));
        const std::string left = hidden();
        ASSERT_EQ(left.rfind(row.left, 0), 0u) << left;
        ASSERT_EQ(left.find('\n'), left.size() - 1) << left;
        const wxString copy = m_Files.File(wxString::FromUTF8(left.substr(0, left.size() - 1)));
        EXPECT_EQ(ReadBytes(copy) == old_text, row.copy);

        RecordingFile file;
        ASSERT_TRUE(file.FileLoad(QelFileName(path)));
        const size_t told = row.copy ? 1 : 0;
        EXPECT_EQ(log.CountLevel(wxLOG_Warning), told) << log.Dump();
        EXPECT_EQ(log.CountLevel(wxLOG_Status), told) << log.Dump();
        EXPECT_EQ(log.Count("'" + copy + "'"), 2 * told) << log.Dump();

        // Cancelled, kept by the base (which says so), not asked again by
        // the same binding; removed by the next binding's save.
        const std::vector<wxString> asked(told, copy);
        const std::optional<QelFile::LeftBackups> answers[]
            = {QelFile::LeftBackups::cancel, std::nullopt, QelFile::LeftBackups::remove};
        for (const auto& answer : answers) {
            log.Clear();
            file.asked.clear();
            file.backups_answer = answer;
            file.content = "saved";
            const bool saved = file.FileSave();
            EXPECT_EQ(saved, !row.copy || answer != QelFile::LeftBackups::cancel);
            EXPECT_TRUE(ReadBytes(path) == (saved ? "saved" : mixed));
            EXPECT_EQ(file.asked,
                      answer == QelFile::LeftBackups::remove ? std::vector<wxString>() : asked);
            EXPECT_EQ(log.Count("kept in '" + copy + "'"), answer ? 0 : told) << log.Dump();
        }
        EXPECT_EQ(hidden(), row.copy ? left : "");
        EXPECT_EQ(ReadBytes(copy) == old_text, row.copy);
        RecordingFile again;
        ASSERT_TRUE(again.FileLoad(QelFileName(path)));
        again.backups_answer = QelFile::LeftBackups::remove;
        EXPECT_TRUE(again.FileSave());
        EXPECT_EQ(again.asked, asked);
        EXPECT_EQ(hidden(), "");
    }
}

// Copies of the old text that are no one's to tell or remove are left
// alone: an unfinished copy still locked by its save (whose process id says
// nothing: another pid namespace) by a user without privileges, and a whole
// copy of a user who is neither the reader nor the file's owner. A copy
// made in the same tick of the clock as the last listing of its folder is
// found. A copy the user chose to delete that cannot go leaves the save
// done, and says so.
TEST_F(FileBinding, LeftCopiesOfOthersOrStillHeldStay)
{
    ASSERT_TRUE(getpwnam("nobody") != nullptr && getgrnam("users") != nullptr);
    const wxString top = ShellQuote(m_Files.Path());
    qeltest::Run("cd " + top + " && chmod 0755 . && mkdir ro own tmp && chmod 0777 own"
                 + " && chown nobody tmp && touch c.txt ro/own.txt && chown nobody ro/own.txt");
    const wxString tmp = m_Files.File("tmp"), no_folder = m_Files.File("c.txt");
    qeltest::EnvGuard tmpdir("TMPDIR", &tmp), config("XDG_CONFIG_HOME", &no_folder);
    QelSetPathsOverride(m_Files.File("own"));
    wxON_BLOCK_EXIT0([] { QelSetPathsOverride(""); });
    const wxString path = m_Files.File("ro/own.txt"), own = m_Files.File("own");
    ASSERT_TRUE(WriteBytes(path, std::string(8192, 'o')));
    // The status of a save of path by nobody, killed by the full disk as it copies.
    const auto nobody_saves = [&](const std::function<int()>& body) {
        int status = -1;
        waitpid(InChild(true, body), &status, 0);
        return status;
    };
    const int killed = nobody_saves([&] {
        const rlimit limit{4096, 4096};
        if (setrlimit(RLIMIT_FSIZE, &limit) == 0) signal(SIGXFSZ, SIG_DFL);
        return QelWriteFileAtomic(path, "new", 3) ? 0 : 1;
    });
    ASSERT_TRUE(WIFSIGNALED(killed) && WTERMSIG(killed) == SIGXFSZ) << killed;
    const auto left = [&] { return qeltest::Run("cd " + top + " && ls -A own tmp | grep '^\\.'"); };
    const std::string name = left();
    ASSERT_EQ(name.find('\n'), name.size() - 1) << name;
    const wxString copy = own + "/" + wxString::FromUTF8(name.substr(0, name.size() - 1));
    const int held = open(copy.fn_str(), O_RDONLY);
    ASSERT_TRUE(held >= 0 && flock(held, LOCK_EX) == 0);
    EXPECT_EQ(nobody_saves([&] { return QelWriteFileAtomic(path, "saved", 5) ? 0 : 1; }), 0);
    close(held);
    ASSERT_EQ(left(), name);
    EXPECT_EQ(ReadBytes(path), "saved");

    // Whole (as a save killed after it copied leaves it) under another
    // name, with the folder's time as it was when it was last listed.
    timespec times[2] = {{0, UTIME_NOW}, {0, UTIME_NOW}};
    ASSERT_EQ(utimensat(AT_FDCWD, own.fn_str(), times, 0), 0);
    EXPECT_TRUE(QelLeftBackups(path).empty());
    struct stat listed = {};
    ASSERT_EQ(stat(own.fn_str(), &listed), 0);
    const wxString whole = copy + "1";
    ASSERT_TRUE(chmod(copy.fn_str(), 0600) == 0 && rename(copy.fn_str(), whole.fn_str()) == 0);
    times[0] = listed.st_atim;
    times[1] = listed.st_mtim;
    ASSERT_EQ(utimensat(AT_FDCWD, own.fn_str(), times, 0), 0);
    EXPECT_EQ(QelLeftBackups(path), std::vector<wxString>{whole});
    ASSERT_EQ(chown(whole.fn_str(), 12345, 12345), 0);
    {
        qeltest::LogCapture log;
        EXPECT_TRUE(QelLeftBackups(path).empty());
        EXPECT_TRUE(RecordingFile().FileLoad(QelFileName(path)));
        EXPECT_TRUE(log.Records().empty()) << log.Dump();
    }

    // Kept in the temporary folder, which nobody made read-only.
    const wxString kept = tmp + "/" + wxFileName(whole).GetFullName();
    ASSERT_EQ(chown(whole.fn_str(), getpwnam("nobody")->pw_uid, 0), 0);
    ASSERT_TRUE(rename(whole.fn_str(), kept.fn_str()) == 0 && chmod(tmp.fn_str(), 0555) == 0);
    EXPECT_EQ(nobody_saves([&] {
                  RecordingFile file;
                  qeltest::LogCapture log;
                  file.backups_answer = QelFile::LeftBackups::remove;
                  if (!file.FileLoad(QelFileName(path))) return 3;
                  file.content = "again";
                  if (!file.FileSave() || file.asked != std::vector<wxString>{kept}) return 4;
                  return log.Has("Cannot remove the copy '" + kept + "'") ? 0 : 5;
              }),
              0);
    EXPECT_EQ(ReadBytes(path), "again");
    EXPECT_TRUE(wxFileExists(kept));
}

// Only the bytes that exist, as tail(1) prints them, and a closing zero.
TEST(QelFileRead, GivesTheBytesFromAnOffsetToTheEnd)
{
    qeltest::TempDir temp;
    const wxString path = temp.File("ten.txt");
    ASSERT_TRUE(WriteBytes(path, "0123456789"));
    QelFile file(wxFileName(path), wxFile::read);
    ASSERT_TRUE(file.IsOpened());
    for (wxFileOffset offset : {0, 4, 10, 11}) {
        SCOPED_TRACE(offset);
        const wxCharBuffer bytes = file.Read(offset);
        EXPECT_EQ(
            Bytes(bytes),
            qeltest::Run(wxString::Format("tail -c +%d ", int(offset) + 1) + ShellQuote(path)));
        EXPECT_EQ(bytes.data()[bytes.length()], '\0');
    }
    EXPECT_EQ(file.Read(-1).length(), 0u);

    // A file larger than memory can hold gives nothing, not a crash.
    const wxString huge = temp.File("huge");
    qeltest::Run("truncate -s 1T " + ShellQuote(huge));
    QelFile sparse(wxFileName(huge), wxFile::read);
    ASSERT_TRUE(sparse.IsOpened());
    if (!qeltest::kAddressSanitizer) {
        // Bound the address space, so that the allocation fails whatever the
        // machine's overcommit policy.
        rlimit old{};
        getrlimit(RLIMIT_AS, &old);
        const rlimit bounded{std::min<rlim_t>(old.rlim_max, rlim_t(64) << 30), old.rlim_max};
        setrlimit(RLIMIT_AS, &bounded);
        qeltest::LogCapture log;
        const wxCharBuffer bytes = sparse.Read(0);
        setrlimit(RLIMIT_AS, &old);
        EXPECT_EQ(bytes.length(), 0u);
        EXPECT_TRUE(log.Has(huge)) << log.Dump();
    }

    // A handle that cannot tell its length says so once, naming the file;
    // a folder is not opened at all, which is said once too.
    const wxString unreadable[] = {"/proc/self/mem", temp.Path()};
    for (const wxString& path : unreadable) {
        SCOPED_TRACE(path);
        qeltest::LogCapture log;
        QelFile file(wxFileName(path), wxFile::read);
        EXPECT_EQ(file.IsOpened(), path != temp.Path());
        EXPECT_EQ(file.Read(0).length(), 0u);
        EXPECT_EQ(log.Records().size(), 1u) << log.Dump();
        EXPECT_TRUE(log.Has("'" + path + "'")) << log.Dump();
    }

    qeltest::LogCapture log; // closed handles: the file was missing, or never opened
    EXPECT_EQ(QelFile(wxFileName(temp.File("missing.txt")), wxFile::read).Read(0).length(), 0u);
    EXPECT_EQ(QelFile().Read(0).length(), 0u);
}

TEST(QelWriteFileAtomic, WritesTheBytesOrLogsPathAndErrorLeavingNoTemporaryFile)
{
    qeltest::TempDir temp;
    ASSERT_TRUE(wxMkdir(temp.File("sub")));
    qeltest::Run("ln -s sub/later.txt " + ShellQuote(temp.File("dangling")));
    const wxString neu = temp.File(wxString::FromUTF8("neu ä.txt"));
    const std::string big(64 * 1024, 'y');
    // 252 bytes in 66 characters, near the limit: the temporary name must be
    // shorter in bytes, not in characters.
    wxString wide;
    for (int i = 0; i < 62; ++i) wide += wxString::FromUTF8("\xF0\x9F\x98\x80");
    wide = temp.File(wide + ".txt");

    // `written` gets the bytes, or keeps its own when `error` is logged.
    struct Row {
        const char* name;
        wxString path;
        std::string bytes;
        bool full_disk;
        wxString written;
        const char* error;
    };
    const Row rows[] = {
        {"new", neu, "abc", false, neu, nullptr},
        {"empty over a longer one", neu, "", false, neu, nullptr},
        {"binary", temp.File("bin"), "\0\x01\xff"s, false, temp.File("bin"), nullptr},
        {"long name of wide characters", wide, "wide", false, wide, nullptr},
        {"link to a file not yet there", temp.File("dangling"), "made", false,
         temp.File("sub/later.txt"), nullptr},
        {"folder is a file", temp.File("bin/x"), big, false, temp.File("bin"), "Not a directory"},
        {"full disk", temp.File("bin"), big, true, temp.File("bin"), "File too large"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        qeltest::LogCapture log;
        EXPECT_EQ(OnDisk(row.full_disk,
                         [&] {
                             return QelWriteFileAtomic(row.path, row.bytes.data(),
                                                       row.bytes.size());
                         }),
                  row.error == nullptr);
        if (row.error == nullptr) {
            EXPECT_EQ(ReadBytes(row.written), row.bytes);
            EXPECT_TRUE(log.Records().empty()) << log.Dump();
        } else {
            EXPECT_EQ(ReadBytes(row.written), "\0\x01\xff"s);
            EXPECT_TRUE(log.Has(row.path) && log.Has(row.error)) << log.Dump();
        }
    }
    const auto hidden
        = [&] { return qeltest::Run("ls -A " + ShellQuote(temp.Path()) + " | grep '^\\.'"); };
    EXPECT_EQ(hidden(), "");

    // A save killed while it writes (by the signal of the size limit) leaves
    // its temporary file; the next save of that file removes it, but not one
    // of a save still running in another process (the parent stands in for
    // it).
    const pid_t child = fork();
    if (child == 0) {
        const rlimit limit{4096, 4096}; // lowered in the child alone
        setrlimit(RLIMIT_FSIZE, &limit);
        signal(SIGXFSZ, SIG_DFL);
        _exit(QelWriteFileAtomic(neu, big.data(), big.size()) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
    const std::string left = hidden().substr(0, hidden().size() - 1), pid = std::to_string(child);
    ASSERT_NE(left.find(pid), std::string::npos) << left;
    const std::string running
        = std::string(left).replace(left.find(pid), pid.size(), std::to_string(getppid()));
    ASSERT_TRUE(WriteBytes(temp.File(wxString::FromUTF8(running)), "running"));
    qeltest::LogCapture log;
    ASSERT_TRUE(QelWriteFileAtomic(neu, "abc", 3));
    EXPECT_EQ(hidden(), running + "\n");
    EXPECT_TRUE(log.Has(wxString::FromUTF8(left))) << log.Dump();
}
