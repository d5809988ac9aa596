// Finds a text in every file of a folder tree the way find in files does: a
// QelDir walk that runs a QelTextFile with the find tool on each file. Prints
// "path:line" for every matching line, as `grep -Rn ... | cut -d: -f1,2`
// would, and the time of the walk and the scan on stderr.
//
//   qel_find_bench [-i] [-E] PATTERN FOLDER
//
// -i: match case off; -E: PATTERN is a regular expression (the toolkit's
// PCRE syntax); without -E it is literal text.
#include <chrono>
#include <cstdio>
#include <cstring>

#include <wx/config.h>
#include <wx/init.h>
#include <wx/string.h>

#include <qelkit/app.h>
#include <qelkit/dir.h>
#include <qelkit/frd.h>
#include <qelkit/textfile.h>

namespace {

class PrintingScanner : public QelTextFile {
public:
    using QelTextFile::QelTextFile;

protected:
    void Report(size_t line) override
    {
        const wxString path = GetFileName().GetFullPath();
        std::printf("%s:%zu\n", path.utf8_str().data(), line + 1);
    }
};

class FindWalk : public QelDir {
public:
    explicit FindWalk(const wxString& folder)
        : QelDir(folder, "*")
    { }

    long matches = 0;
    long files = 0;

    void OnFile(const wxString& file) override
    {
        PrintingScanner scanner{QelFileName(file), QelTool(ID_TOOL_FIND_IN_FILES)};
        scanner.RunTool();
        const QelStatistics<long>& stat = scanner.GetStatistics().GetElements();
        matches += stat.Get("Actions Completed");
        files += stat.Get("Files");
    }
};

} // namespace

int main(int argc, char** argv)
{
    bool matchCase = true;
    bool regex = false;
    int arg = 1;
    for (; arg < argc && argv[arg][0] == '-'; ++arg) {
        if (std::strcmp(argv[arg], "-i") == 0)
            matchCase = false;
        else if (std::strcmp(argv[arg], "-E") == 0)
            regex = true;
    }
    if (argc - arg != 2) {
        std::fprintf(stderr, "usage: %s [-i] [-E] PATTERN FOLDER\n", argv[0]);
        return 2;
    }

    wxInitializer initializer;
    if (!initializer.IsOk()) return 1;
    // Settings in memory only: nothing is read or written.
    delete wxConfigBase::Set(QelCreateConfig(wxEmptyString));

    QelFindReplaceData* frd = QelFindReplaceData::Get();
    frd->SetMatchCase(matchCase);
    frd->SetMatchWord(false);
    frd->SetUseRegularExpression(regex);
    frd->SetFindString(wxString::FromUTF8(argv[arg]));

    const auto start = std::chrono::steady_clock::now();
    FindWalk walk(wxString::FromUTF8(argv[arg + 1]));
    walk.FindFiles();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    std::fflush(stdout);
    std::fprintf(stderr, "scanned %ld files, %ld matching lines, walk and scan %.1f ms\n",
                 walk.files, walk.matches, took.count());

    delete QelFindReplaceData::Set(nullptr);
    delete wxConfigBase::Set(nullptr);
    return 0;
}
