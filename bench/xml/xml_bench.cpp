// The time to read XML documents whose one value grows (a text of many lines,
// a text of one line, an attribute) and whose element count grows, at 1, 2
// and 4 times a base size, by the program's loader (QelParseXml) and by the
// toolkit's (wxXmlDocument::Load from memory):
//
//   qel_xml_bench [BASE_MB] [--toolkit]
//
// Prints one line per shape and size with milliseconds and milliseconds per
// MB; a linear reader keeps the last column flat as the size doubles. The
// toolkit's loader is only run with --toolkit and on a fortieth of the base
// size: its cost grows with the square of a value's length.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include <wx/init.h>
#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/xml/xml.h>

#include <qelkit/xml.h>

namespace {

struct Shape {
    const char* name;
    std::function<std::string(size_t bytes)> make;
};

std::string Repeat(const std::string& unit, size_t bytes)
{
    std::string text;
    text.reserve(bytes + unit.size());
    while (text.size() < bytes) text += unit;
    return text;
}

const Shape kShapes[] = {
    {"text-of-lines",
     [](size_t n) { return "<files><file>" + Repeat("abcdefghi\n", n) + "</file></files>"; }},
    {"text-one-line",
     [](size_t n) { return "<files><file>" + Repeat("abcdefghij", n) + "</file></files>"; }},
    {"attribute",
     [](size_t n) { return "<vcses><vcs name=\"" + Repeat("abcdefghij", n) + "\"/></vcses>"; }},
    {"elements",
     [](size_t n) { return "<files>" + Repeat("<file>/a/b/c.txt</file>\n", n) + "</files>"; }},
};

double MsToRead(const std::string& xml, bool toolkit)
{
    const auto start = std::chrono::steady_clock::now();
    wxXmlDocument doc;
    bool ok;
    if (toolkit) {
        wxMemoryInputStream in(xml.data(), xml.size());
        ok = doc.Load(in);
    } else {
        wxString error;
        ok = QelParseXml(xml.data(), xml.size(), &doc, &error);
    }
    if (!ok || doc.GetRoot() == nullptr) {
        std::fprintf(stderr, "not read\n");
        std::exit(1);
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace

int main(int argc, char** argv)
{
    wxInitializer init;
    wxLog::DontCreateOnDemand();
    setvbuf(stdout, nullptr, _IOLBF, 0);
    const double base_mb = argc > 1 ? std::atof(argv[1]) : 8.0;
    const bool toolkit = argc > 2 && std::strcmp(argv[2], "--toolkit") == 0;
    std::printf("%-8s %-14s %8s %10s %8s\n", "loader", "shape", "MB", "ms", "ms/MB");
    for (const Shape& shape : kShapes) {
        for (int factor : {1, 2, 4}) {
            const double mb = base_mb * factor / (toolkit ? 40 : 1);
            const std::string xml = shape.make(static_cast<size_t>(mb * 1e6));
            const double ms = MsToRead(xml, toolkit);
            std::printf("%-8s %-14s %8.1f %10.1f %8.1f\n", toolkit ? "toolkit" : "ours", shape.name,
                        xml.size() / 1e6, ms, ms / (xml.size() / 1e6));
        }
    }
    return 0;
}
