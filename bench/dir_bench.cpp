// Walks a folder tree with QelDir and empty hooks, as find-in-files does
// before any file is read, and prints the number of files walked.
//
//   qel_dir_bench FOLDER [SPEC] [ROUNDS]
//
// SPEC defaults to "*" (every file); ROUNDS (default 1) walks repeat and
// the best time goes to stderr, so that stdout holds only the count.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include <wx/init.h>
#include <wx/string.h>

#include <qelkit/dir.h>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [SPEC] [ROUNDS]\n", argv[0]);
        return 2;
    }
    wxInitializer initializer;
    if (!initializer.IsOk()) return 1;

    const wxString folder(argv[1]);
    const wxString spec(argc > 2 ? argv[2] : "*");
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 1;

    size_t count = 0;
    double best = 0;
    for (int round = 0; round < rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        QelDir dir(folder, spec, wxDIR_DEFAULT);
        count = dir.FindFiles();
        const std::chrono::duration<double, std::milli> took
            = std::chrono::steady_clock::now() - start;
        if (round == 0 || took.count() < best) best = took.count();
    }
    std::printf("%zu\n", count);
    std::fprintf(stderr, "walk: %zu files, best of %d: %.1f ms\n", count, rounds, best);
    return 0;
}
