#include <csignal>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

#include <gtest/gtest.h>
#include <wx/config.h>
#include <wx/filefn.h>

#include <qelkit/file.h>

#include "testing.h"

using namespace std::string_literals;
using qeltest::LogCapture;
using qeltest::ReadBytes;
using qeltest::ShellQuote;
using qeltest::TempDir;
using qeltest::WriteBytes;

using qeltest::SetModificationTime;

using qeltest::CwdGuard;

namespace {

constexpr long kBaseTime = 1600000000;


int ModeOf(const wxString& path)
{
    return std::stoi(qeltest::Run("stat -c %a " + ShellQuote(path)), nullptr, 8);
}

// Every entry of a folder, hidden ones too, one per line.
std::string Listing(const wxString& folder)
{
    return qeltest::Run("ls -A " + ShellQuote(folder));
}


class UmaskGuard
{
public:
    explicit UmaskGuard(mode_t mask) : m_Old(umask(mask)) {}
    ~UmaskGuard() { umask(m_Old); }

private:
    mode_t m_Old;
};

// Makes writes beyond `bytes` fail as on a full disk; works as root too.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes) : m_OldHandler(signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &m_Old);
        rlimit limit = m_Old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_Old);
        signal(SIGXFSZ, m_OldHandler);
    }

private:
    rlimit m_Old{};
    void (*m_OldHandler)(int);
};

// A binding whose object is a byte string; it records each hook call.
class RecordingFile : public QelFile
{
public:
    explicit RecordingFile(bool open_file = true) : QelFile(open_file) {}

    bool GetContentsChanged() const override { return changed; }
    void ResetContentsChanged() override { changed = false; }

    // The calls so far, as "hook(flag)" or "hook(flag,open)" when the
    // handle was open inside the hook.
    std::string Hooks() const
    {
        std::string text;
        for (const Call& call : calls)
        {
            text += (text.empty() ? "" : " ") + call.hook + "(" + (call.flag ? "1" : "0") +
                (call.opened ? ",open)" : ")");
        }
        return text;
    }

    struct Call
    {
        std::string hook;
        bool flag;
        bool opened;
        wxString bound; // the bound full path inside the hook
    };

    std::vector<Call> calls;
    std::string content;
    std::string tail;                 // Read(4) during the last load
    std::string target_while_saving;  // the bound file as the save hook saw it
    size_t unchecked_bytes = 0;       // written after the content, result ignored
    bool changed = false;
    bool confirm = true;
    bool load_ok = true;
    bool save_ok = true;

protected:
    bool DoFileLoadConfirm(bool synced) override
    {
        Record("confirm", synced);
        return confirm;
    }

    bool DoFileLoad(bool synced) override
    {
        Record("load", synced);
        if (!load_ok)
        {
            return false;
        }
        if (IsOpened())
        {
            const wxCharBuffer all = Read(0);
            content.assign(all.data(), all.length());
            const wxCharBuffer from4 = Read(4);
            tail.assign(from4.data(), from4.length());
        }
        else
        {
            content = ReadBytes(GetFileName().GetFullPath());
        }
        return true;
    }

    void DoFileNew() override
    {
        Record("new", false);
        content.clear();
    }

    bool DoFileSave(bool save_as) override
    {
        Record("save", save_as);
        target_while_saving = ReadBytes(GetFileName().GetFullPath());
        if (!save_ok)
        {
            return false;
        }
        if (!IsOpened())
        {
            return QelWriteFileAtomic(GetFileName().GetFullPath(), content.data(), content.size());
        }
        Write(content.data(), content.size());
        // Streams further bytes in pieces without looking at the results.
        const std::string piece(1024, 'x');
        for (size_t done = 0; done < unchecked_bytes; done += piece.size())
        {
            Write(piece.data(), piece.size());
        }
        return true;
    }

    void DoFileSaved(bool save_as) override { Record("saved", save_as); }

private:
    void Record(const char* hook, bool flag)
    {
        calls.push_back({hook, flag, IsOpened(), GetFileName().GetFullPath()});
    }
};

class FileBinding : public qeltest::ConfigTest
{
protected:
    // A file in the test's own folder with a known modification time.
    wxString Make(const wxString& name, const std::string& bytes)
    {
        const wxString path = m_Files.File(name);
        EXPECT_TRUE(WriteBytes(path, bytes));
        SetModificationTime(path, kBaseTime);
        return path;
    }

    // A binding loaded from a fresh file "a.txt" holding "old".
    void LoadOld(RecordingFile& file)
    {
        ASSERT_TRUE(file.FileLoad(QelFileName(Make("a.txt", "old"))));
        file.calls.clear();
    }

    TempDir m_Files;
};

} // namespace

TEST_F(FileBinding, LoadReadsTheWholeFileThroughTheOpenHandle)
{
    const std::string bytes = "head\0tail \xff\xfe\r\n\xc3\xa4 end"s;
    const wxString path = Make("data.bin", bytes);

    RecordingFile file;
    file.changed = true;
    ASSERT_TRUE(file.FileLoad(QelFileName(path)));

    EXPECT_EQ(file.Hooks(), "confirm(0) load(0,open)");
    EXPECT_FALSE(file.IsOpened());
    EXPECT_FALSE(file.changed);
    EXPECT_EQ(file.content, bytes);
    EXPECT_EQ(file.content, qeltest::Run("cat " + ShellQuote(path)));
    EXPECT_EQ(file.tail, qeltest::Run("tail -c +5 " + ShellQuote(path)));
    EXPECT_EQ(file.GetFileName().GetFullPath(), path);
    EXPECT_TRUE(file.GetFileName().GetStat().IsOk());
    EXPECT_EQ(file.GetFileName().GetStat().st_mtime, kBaseTime);
}

TEST_F(FileBinding, RelativeNameIsBoundAbsoluteAndOutlivesTheWorkingFolder)
{
    const wxString path = Make(wxString::FromUTF8("rel ä.txt"), "rel");
    RecordingFile file;
    {
        CwdGuard cwd(m_Files.Path());
        ASSERT_TRUE(file.FileLoad(QelFileName(wxString::FromUTF8("rel ä.txt"))));
    }

    EXPECT_TRUE(file.GetFileName().IsAbsolute());
    EXPECT_EQ(file.GetFileName().GetFullPath(), path);
    EXPECT_EQ(file.content, "rel");

    ASSERT_TRUE(WriteBytes(path, "changed"));
    SetModificationTime(path, kBaseTime + 10);
    EXPECT_TRUE(file.CheckSync());
    EXPECT_EQ(file.content, "changed");
}

TEST_F(FileBinding, LoadThatDoesNotHappenKeepsBindingContentsAndChangedMark)
{
    ASSERT_TRUE(wxMkdir(m_Files.File("folder")));
    const wxString other = Make("b.txt", "other");

    struct Row
    {
        const char* name;
        wxString target;
        bool confirm;
        bool load_ok;
        const char* hooks;
    };
    const Row rows[] = {
        {"missing file", m_Files.File("missing.txt"), true, true, ""},
        {"a folder", m_Files.File("folder"), true, true, ""},
        {"confirmation refused", other, false, true, "confirm(0)"},
        {"load hook failed", other, true, false, "confirm(0) load(0,open)"},
    };

    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.name);
        RecordingFile file;
        LoadOld(file);
        const wxString old_path = file.GetFileName().GetFullPath();
        file.changed = true;
        file.confirm = row.confirm;
        file.load_ok = row.load_ok;

        EXPECT_FALSE(file.FileLoad(QelFileName(row.target)));
        EXPECT_EQ(file.Hooks(), row.hooks);
        EXPECT_EQ(file.GetFileName().GetFullPath(), old_path);
        EXPECT_EQ(file.content, "old");
        EXPECT_TRUE(file.changed);
        EXPECT_FALSE(file.IsOpened());
        if (!file.calls.empty())
        {
            // "Save changes first?" is asked about the file still bound.
            EXPECT_EQ(file.calls.front().bound, old_path);
        }
    }
}

TEST_F(FileBinding, ChangedTimeReloadsOnceEarlierOrLater)
{
    RecordingFile file;
    LoadOld(file);
    const wxString path = file.GetFileName().GetFullPath();

    EXPECT_FALSE(file.CheckSync());
    EXPECT_EQ(file.Hooks(), "");

    ASSERT_TRUE(WriteBytes(path, "new"));
    SetModificationTime(path, kBaseTime + 10);
    EXPECT_TRUE(file.CheckSync());
    EXPECT_EQ(file.Hooks(), "confirm(1) load(1,open)");
    EXPECT_EQ(file.content, "new");
    EXPECT_FALSE(file.IsOpened());

    EXPECT_FALSE(file.CheckSync());
    EXPECT_EQ(file.calls.size(), 2u);

    SetModificationTime(path, kBaseTime - 3600);
    EXPECT_TRUE(file.CheckSync());
    EXPECT_EQ(file.calls.size(), 4u);
}

TEST_F(FileBinding, AllowSyncOffStopsReloadsAndNoConfigurationAllowsThem)
{
    RecordingFile file;
    LoadOld(file);
    const wxString path = file.GetFileName().GetFullPath();

    wxConfigBase::Get()->Write("AllowSync", false);
    SetModificationTime(path, kBaseTime + 10);
    EXPECT_FALSE(file.CheckSync());
    EXPECT_EQ(file.Hooks(), "");

    wxConfigBase::Get()->Write("AllowSync", true);
    EXPECT_TRUE(file.CheckSync());

    wxConfigBase* config = wxConfigBase::Set(nullptr);
    SetModificationTime(path, kBaseTime + 20);
    const bool reloaded = file.CheckSync();
    wxConfigBase::Set(config);
    EXPECT_TRUE(reloaded);
    EXPECT_EQ(file.calls.size(), 4u);
}

TEST_F(FileBinding, ReadOnlyAttributeIsFollowedOnReload)
{
    RecordingFile file;
    LoadOld(file);
    const wxString path = file.GetFileName().GetFullPath();
    ASSERT_FALSE(file.GetFileName().GetStat().IsReadOnly());

    struct Row { const char* mode; long time; bool read_only; };
    const Row rows[] = {{"0444", 10, true}, {"0640", 20, false}, {"0466", 30, true}};

    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.mode);
        qeltest::Run(wxString("chmod ") + row.mode + " " + ShellQuote(path));
        SetModificationTime(path, kBaseTime + row.time);
        ASSERT_TRUE(file.CheckSync());
        EXPECT_EQ(file.GetFileName().GetStat().IsReadOnly(), row.read_only);
        EXPECT_EQ((ModeOf(path) & 0200) == 0, row.read_only);
    }
}

TEST_F(FileBinding, VanishedFileKeepsContentsAndIsFollowedWhenItReturns)
{
    RecordingFile file;
    LoadOld(file);
    const wxString path = file.GetFileName().GetFullPath();

    ASSERT_TRUE(wxRemoveFile(path));
    EXPECT_FALSE(file.CheckSync());
    EXPECT_FALSE(file.CheckSync());
    EXPECT_EQ(file.Hooks(), "");
    EXPECT_EQ(file.content, "old");

    ASSERT_TRUE(WriteBytes(path, "back again"));
    SetModificationTime(path, kBaseTime + 60);
    EXPECT_TRUE(file.CheckSync());
    EXPECT_EQ(file.content, "back again");
    EXPECT_FALSE(file.CheckSync());
}

TEST_F(FileBinding, CancelledReloadKeepsChangesAndAsksAgainOnlyAfterTheNextChange)
{
    RecordingFile file;
    LoadOld(file);
    const wxString path = file.GetFileName().GetFullPath();
    file.content = "mine";
    file.changed = true;
    file.confirm = false;

    ASSERT_TRUE(WriteBytes(path, "theirs"));
    SetModificationTime(path, kBaseTime + 10);
    EXPECT_FALSE(file.CheckSync());
    EXPECT_FALSE(file.CheckSync()); // idle events go on: no second question
    EXPECT_EQ(file.Hooks(), "confirm(1)");
    EXPECT_EQ(file.content, "mine");
    EXPECT_TRUE(file.changed);

    SetModificationTime(path, kBaseTime + 20);
    file.confirm = true;
    EXPECT_TRUE(file.CheckSync());
    EXPECT_EQ(file.Hooks(), "confirm(1) confirm(1) load(1,open)");
    EXPECT_EQ(file.content, "theirs");
    EXPECT_FALSE(file.changed);
}

TEST_F(FileBinding, FailedReloadKeepsChangedMarkAndIsNotRetried)
{
    RecordingFile file;
    LoadOld(file);
    file.changed = true;
    file.load_ok = false;

    SetModificationTime(file.GetFileName().GetFullPath(), kBaseTime + 10);
    EXPECT_FALSE(file.CheckSync());
    EXPECT_FALSE(file.CheckSync());
    EXPECT_EQ(file.Hooks(), "confirm(1) load(1,open)");
    EXPECT_TRUE(file.changed);
}

TEST_F(FileBinding, NewFileIsNotFollowedUntilItIsSaved)
{
    UmaskGuard mask(027);
    const wxString path = m_Files.File("new.txt");
    RecordingFile file;
    file.FileNew(QelFileName(path));

    EXPECT_EQ(file.Hooks(), "new(0)");
    EXPECT_FALSE(wxFileExists(path));
    EXPECT_FALSE(file.CheckSync());

    file.content = "fresh";
    file.changed = true;
    ASSERT_TRUE(file.FileSave());
    EXPECT_EQ(file.Hooks(), "new(0) save(0,open) saved(0)");
    EXPECT_EQ(ReadBytes(path), "fresh");
    EXPECT_EQ(ModeOf(path), 0640); // 0666 less the umask, as a plain create
    EXPECT_FALSE(file.changed);
    EXPECT_TRUE(file.GetFileName().GetStat().IsOk());
    EXPECT_FALSE(file.CheckSync());

    SetModificationTime(path, kBaseTime);
    EXPECT_TRUE(file.CheckSync());
}

TEST_F(FileBinding, SaveReplacesTheFileOnlyAfterTheHookWrote)
{
    RecordingFile file;
    LoadOld(file);
    const wxString path = file.GetFileName().GetFullPath();
    file.content = "new contents";
    file.changed = true;

    LogCapture log;
    ASSERT_TRUE(file.FileSave());
    EXPECT_EQ(file.Hooks(), "save(0,open) saved(0)");
    EXPECT_EQ(file.target_while_saving, "old");
    EXPECT_EQ(ReadBytes(path), "new contents");
    EXPECT_FALSE(file.changed);
    EXPECT_FALSE(file.IsOpened());
    EXPECT_EQ(Listing(m_Files.Path()), "a.txt\n");
    EXPECT_FALSE(file.CheckSync());
    EXPECT_EQ(log.CountLevel(wxLOG_Error), 0u) << log.Dump();
}

TEST_F(FileBinding, SaveAsRebindsToTheAbsoluteNewName)
{
    RecordingFile file;
    LoadOld(file);
    const wxString old_path = file.GetFileName().GetFullPath();
    file.content = "copy";
    file.changed = true;

    {
        CwdGuard cwd(m_Files.Path());
        ASSERT_TRUE(file.FileSave(QelFileName("other.txt")));
    }

    const wxString new_path = m_Files.File("other.txt");
    EXPECT_EQ(file.GetFileName().GetFullPath(), new_path);
    EXPECT_EQ(file.Hooks(), "save(1,open) saved(1)");
    EXPECT_EQ(file.calls.front().bound, new_path);
    EXPECT_EQ(ReadBytes(new_path), "copy");
    EXPECT_EQ(ReadBytes(old_path), "old");
    EXPECT_FALSE(file.changed);

    EXPECT_FALSE(file.CheckSync());
    SetModificationTime(old_path, kBaseTime + 10);
    EXPECT_FALSE(file.CheckSync());
    SetModificationTime(new_path, kBaseTime + 10);
    EXPECT_TRUE(file.CheckSync());
}

TEST_F(FileBinding, SaveThatCannotHappenChangesNothing)
{
    Make("plain", "a file, not a folder");
    ASSERT_TRUE(wxMkdir(m_Files.File("folder")));

    struct Row
    {
        const char* name;
        wxString save_as; // empty: save under the bound name
        bool save_ok;
        const char* hooks;
    };
    const Row rows[] = {
        {"folder is a file", m_Files.File("plain/x.txt"), true, ""},
        {"folder is missing", m_Files.File("missing/x.txt"), true, ""},
        {"target is a folder", m_Files.File("folder"), true, ""},
        {"save hook failed", "", false, "save(0,open)"},
        {"save as hook failed", m_Files.File("b.txt"), false, "save(1,open)"},
    };

    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.name);
        RecordingFile file;
        LoadOld(file);
        const wxString old_path = file.GetFileName().GetFullPath();
        file.content = "unsaved";
        file.changed = true;
        file.save_ok = row.save_ok;

        LogCapture log;
        EXPECT_FALSE(file.FileSave(row.save_as.empty() ? QelFileName() : QelFileName(row.save_as)));
        EXPECT_EQ(file.Hooks(), row.hooks);
        EXPECT_EQ(file.GetFileName().GetFullPath(), old_path);
        EXPECT_TRUE(file.changed);
        EXPECT_FALSE(file.IsOpened());
        EXPECT_EQ(ReadBytes(old_path), "old");
        EXPECT_EQ(Listing(m_Files.Path()), "a.txt\nfolder\nplain\n");
        if (file.calls.empty())
        {
            EXPECT_TRUE(log.Has(row.save_as)) << log.Dump();
        }

        // Still bound to the old file, and still following it.
        SetModificationTime(old_path, kBaseTime + 10);
        file.changed = false;
        EXPECT_TRUE(file.CheckSync());
        EXPECT_EQ(file.content, "old");
    }
}

TEST_F(FileBinding, SaveUnderANameWhoseFolderIsAFileKeepsTheChanges)
{
    Make("plain", "a file, not a folder");
    const wxString path = m_Files.File("plain/new.txt");
    RecordingFile file;
    file.FileNew(QelFileName(path));
    file.content = "typed";
    file.changed = true;

    LogCapture log;
    EXPECT_FALSE(file.FileSave());
    EXPECT_EQ(file.Hooks(), "new(0)");
    EXPECT_TRUE(file.changed);
    EXPECT_EQ(file.GetFileName().GetFullPath(), path);
    EXPECT_TRUE(log.Has(path)) << log.Dump();
    EXPECT_TRUE(log.Has("Not a directory")) << log.Dump();
}

TEST_F(FileBinding, WriteErrorTheHookIgnoredFailsTheSaveAndLeavesTheOldFile)
{
    RecordingFile file;
    LoadOld(file);
    const wxString path = file.GetFileName().GetFullPath();
    file.content = "some";
    file.unchecked_bytes = 64 * 1024;
    file.changed = true;

    LogCapture log;
    bool saved = true;
    {
        FileSizeLimit limit(4096);
        saved = file.FileSave();
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(file.Hooks(), "save(0,open)");
    EXPECT_TRUE(file.changed);
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_EQ(Listing(m_Files.Path()), "a.txt\n");
    EXPECT_TRUE(log.Has(path)) << log.Dump();
}

TEST_F(FileBinding, SaveKeepsPermissionBitsAndSymbolicLinks)
{
    ASSERT_TRUE(wxMkdir(m_Files.File("sub")));
    const wxString real = Make("sub/real.txt", "old");
    qeltest::Run("chmod 0751 " + ShellQuote(real));
    qeltest::Run("cd " + ShellQuote(m_Files.Path()) + " && ln -s sub/real.txt link && ln -s link chain");

    for (const char* name : {"sub/real.txt", "link", "chain"})
    {
        SCOPED_TRACE(name);
        const wxString path = m_Files.File(name);
        RecordingFile file;
        ASSERT_TRUE(file.FileLoad(QelFileName(path)));
        file.content = std::string("written through ") + name;
        ASSERT_TRUE(file.FileSave());

        EXPECT_EQ(ReadBytes(real), file.content);
        EXPECT_EQ(ModeOf(real), 0751);
        EXPECT_EQ(qeltest::Run("readlink " + ShellQuote(m_Files.File("link"))), "sub/real.txt\n");
        EXPECT_EQ(qeltest::Run("readlink " + ShellQuote(m_Files.File("chain"))), "link\n");
        EXPECT_EQ(file.GetFileName().GetFullPath(), path);
        EXPECT_FALSE(file.CheckSync());
    }
    EXPECT_EQ(Listing(m_Files.File("sub")), "real.txt\n");
}

TEST_F(FileBinding, WithoutOpenFileOnlyTheReloadOpensTheHandle)
{
    const wxString path = Make("project.prj", "<project/>");
    RecordingFile file(false);

    ASSERT_TRUE(file.FileLoad(QelFileName(path)));
    EXPECT_EQ(file.content, "<project/>");
    file.content = "<project>1</project>";
    ASSERT_TRUE(file.FileSave());
    EXPECT_EQ(ReadBytes(path), "<project>1</project>");

    SetModificationTime(path, kBaseTime + 10);
    ASSERT_TRUE(file.CheckSync());
    EXPECT_EQ(file.Hooks(), "confirm(0) load(0) save(0) saved(0) confirm(1) load(1,open)");
    EXPECT_EQ(file.content, "<project>1</project>");
}

TEST(QelFileRead, ReturnsTheBytesFromAnOffsetToTheEnd)
{
    TempDir temp;
    const wxString path = temp.File("ten.txt");
    ASSERT_TRUE(WriteBytes(path, "0123456789"));

    QelFile file(wxFileName(path), wxFile::read);
    ASSERT_TRUE(file.IsOpened());
    EXPECT_EQ(file.GetFileName().GetFullPath(), path);

    for (wxFileOffset offset : {0, 1, 4, 9, 10, 11, 15, 1000})
    {
        SCOPED_TRACE(offset);
        const wxCharBuffer bytes = file.Read(offset);
        const std::string want = qeltest::Run(wxString::Format("tail -c +%lld ", static_cast<long long>(offset) + 1) + ShellQuote(path));
        EXPECT_EQ(std::string(bytes.data(), bytes.length()), want);
        EXPECT_EQ(bytes.data()[bytes.length()], '\0');
    }
    EXPECT_EQ(file.Read(-1).length(), 0u);
}

TEST(QelFileRead, ClosedHandleGivesAnEmptyBuffer)
{
    TempDir temp;
    QelFile unbound;
    EXPECT_EQ(unbound.Read(0).length(), 0u);

    LogCapture log;
    QelFile missing(wxFileName(temp.File("missing.txt")), wxFile::read);
    EXPECT_FALSE(missing.IsOpened());
    EXPECT_EQ(missing.Read(0).length(), 0u);
    EXPECT_TRUE(log.Has("missing.txt")) << log.Dump();
}

TEST(QelWriteFileAtomic, WritesNewAndExistingFilesKeepingTheirMode)
{
    TempDir temp;
    UmaskGuard mask(022);

    const wxString fresh = temp.File(wxString::FromUTF8("neu ä.txt"));
    ASSERT_TRUE(QelWriteFileAtomic(fresh, "abc", 3));
    EXPECT_EQ(ReadBytes(fresh), "abc");
    EXPECT_EQ(ModeOf(fresh), 0644);

    const wxString existing = temp.File("existing");
    ASSERT_TRUE(WriteBytes(existing, "a longer old text"));
    qeltest::Run("chmod 0604 " + ShellQuote(existing));
    ASSERT_TRUE(QelWriteFileAtomic(existing, "", 0));
    EXPECT_EQ(ReadBytes(existing), "");
    EXPECT_EQ(ModeOf(existing), 0604);

    const std::string binary = "\0\x01\xff"s;
    ASSERT_TRUE(QelWriteFileAtomic(existing, binary.data(), binary.size()));
    EXPECT_EQ(ReadBytes(existing), binary);
    EXPECT_EQ(Listing(temp.Path()), "existing\nneu ä.txt\n");
}

TEST(QelWriteFileAtomic, LongNamesAndLinksToFilesNotYetThere)
{
    TempDir temp;
    const wxString longest = temp.File(wxString('n', 251) + ".txt"); // 255 bytes, the limit
    ASSERT_TRUE(QelWriteFileAtomic(longest, "long", 4));
    EXPECT_EQ(ReadBytes(longest), "long");

    ASSERT_TRUE(wxMkdir(temp.File("sub")));
    qeltest::Run("ln -s sub/later.txt " + ShellQuote(temp.File("dangling")));
    ASSERT_TRUE(QelWriteFileAtomic(temp.File("dangling"), "made", 4));
    EXPECT_EQ(ReadBytes(temp.File("sub/later.txt")), "made");
    EXPECT_EQ(qeltest::Run("readlink " + ShellQuote(temp.File("dangling"))), "sub/later.txt\n");
}

TEST(QelWriteFileAtomic, FailureLogsPathAndErrorAndLeavesTheOldFile)
{
    TempDir temp;
    const wxString old_file = temp.File("old.txt");
    ASSERT_TRUE(WriteBytes(old_file, "old"));

    {
        LogCapture log;
        const wxString under_file = temp.File("old.txt/x");
        EXPECT_FALSE(QelWriteFileAtomic(under_file, "x", 1));
        EXPECT_TRUE(log.Has(under_file)) << log.Dump();
        EXPECT_TRUE(log.Has("Not a directory")) << log.Dump();
    }

    {
        LogCapture log;
        const std::string big(64 * 1024, 'y');
        bool written = true;
        {
            FileSizeLimit limit(4096);
            written = QelWriteFileAtomic(old_file, big.data(), big.size());
        }
        EXPECT_FALSE(written);
        EXPECT_TRUE(log.Has(old_file)) << log.Dump();
        EXPECT_TRUE(log.Has("File too large")) << log.Dump();
    }

    EXPECT_EQ(ReadBytes(old_file), "old");
    EXPECT_EQ(Listing(temp.Path()), "old.txt\n");
}
