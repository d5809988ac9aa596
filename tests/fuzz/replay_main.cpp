// Runs a fuzz driver over the files named, and over the files of the folders
// named: the committed corpus as a test of the ordinary build.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include <wx/dir.h>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    if (LLVMFuzzerInitialize(&argc, &argv) != 0) return 1;
    wxArrayString files;
    for (int i = 1; i < argc; ++i)
        if (!wxDirExists(argv[i]) || wxDir::GetAllFiles(argv[i], &files) == 0) files.Add(argv[i]);
    for (const wxString& file : files) {
        std::ifstream in(file.fn_str(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs\n", files.size());
    return files.empty() ? 1 : 0;
}
