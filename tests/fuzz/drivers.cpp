// Fuzz drivers of the readers of input from outside the program: project
// files, lexers.xml, vcs.xml, vi mode lines and the command line. Each one is
// this file built with QEL_FUZZ_<NAME> defined, linked either with clang's
// libFuzzer (scripts/fuzz.sh) or with replay_main.cpp, which runs the
// committed corpus as a test. A crash, a sanitizer report or a hang is the
// failure; what the readers make of the bytes is checked elsewhere.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <string>
#include <vector>

#include <wx/cmdline.h>
#include <wx/ffile.h>
#include <wx/filename.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/tokenzr.h>

#include <qelkit/lexers.h>
#include <qelkit/openfiles.h>
#include <qelkit/report/listviewfile.h>
#include <qelkit/stc.h>
#include <qelkit/vcs.h>
#include <qelkit/vi.h>

namespace {

#if defined(QEL_FUZZ_LEXERS) || defined(QEL_FUZZ_VCS)
// lexers.xml and vcs.xml are read from a file, as the program reads them:
// one file, rewritten for each input and removed at the end.
struct InputFile {
    ~InputFile() { wxRemoveFile(path); }
    wxString path = wxFileName::CreateTempFileName("qelfuzz");
};

wxFileName AsFile(const uint8_t* data, size_t size)
{
    static const InputFile input;
    wxFFile(input.path, "wb").Write(data, size);
    return wxFileName(input.path);
}
#endif

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static wxInitializer initializer;
    // Every fault of a malformed input is logged: formatting it costs time
    // and says nothing here.
    wxLog::EnableLogging(false);
    return initializer.IsOk() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
#if defined(QEL_FUZZ_PROJECT)
    QelProjectFile::Entries entries;
    wxString error;
    (void)QelProjectFile::Parse(bytes, &entries, &error);
#elif defined(QEL_FUZZ_LEXERS)
    QelLexers lexers(AsFile(data, size));
    lexers.Read();
#elif defined(QEL_FUZZ_VCS)
    QelVCS vcs(AsFile(data, size));
    QelVCS::Read();
#elif defined(QEL_FUZZ_MODELINE)
    wxStringTokenizer tokens(QelModeLineOptions(bytes), " \t:");
    while (tokens.HasMoreTokens()) QelViTabStop(tokens.GetNextToken());
#elif defined(QEL_FUZZ_CMDLINE)
    // The arguments are the input split at NUL, read as the program does.
    std::vector<std::string> args{"tindrel"};
    for (size_t start = 0, end; start <= size; start = end + 1) {
        end = std::min(bytes.find('\0', start), size);
        args.push_back(bytes.substr(start, end - start));
    }
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    wxCmdLineParser parser(static_cast<int>(argv.size()), argv.data());
    parser.AddSwitch("h", "help", "", wxCMD_LINE_OPTION_HELP);
    parser.AddSwitch("", "verbose");
    parser.AddParam("input file:line number", wxCMD_LINE_VAL_STRING,
                    wxCMD_LINE_PARAM_OPTIONAL | wxCMD_LINE_PARAM_MULTIPLE);
    if (parser.Parse(false) == 0)
        for (size_t i = 0; i < parser.GetParamCount(); ++i)
            for (const bool exists : {false, true}) QelParseOpenName(parser.GetParam(i), exists);
    wxArrayString missing;
    QelOpenCommandNames(wxString::FromUTF8(bytes.data(), size), "/nonexistent", &missing);
#endif
    return 0;
}
