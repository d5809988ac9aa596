// The editor's pure helpers: line-end guessing, mode lines, link texts,
// replacement texts, the hexadecimal dump, catalog base paths, tab stops.
#include <cstring>

#include <gtest/gtest.h>

#include <qelkit/stc.h>
#include <qelkit/vi.h>

#include "testing.h"

using namespace qeltest;

TEST(StcModeLine, GivesOnlyTheOptionsAfterViSet)
{
    const struct {
        const char* sample;
        const char* want;
    } rows[] = {
        {"# vi: set ts=4\n", "ts=4"},
        {"a: b\n# vi: set ts=4\nmore", "ts=4"},
        {"# :!touch /tmp/x\n# vi: set ts=4", "ts=4"},
        {"/* vi:set ts=8 sw=8: */\n", "ts=8 sw=8: */"},
        {"# vim: set ts=4", ""},
        {"# vi: ts=4", ""},
        {"no mode line", ""},
        {"", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.sample);
        EXPECT_EQ(QelModeLineOptions(row.sample), row.want);
    }
}

TEST(StcModeLine, TabStopOptions)
{
    const struct {
        const char* option;
        int want;
    } rows[] = {{"ts=4", 4}, {"tabstop=8", 8}, {"ts=0", 0}, {"ts=-2", 0},
                {"sw=4", 0}, {"ts=x", 0},      {"ts", 0},   {"!rm -rf x", 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.option);
        EXPECT_EQ(QelViTabStop(row.option), row.want);
    }
}

TEST(StcText, DelimitedTextAndReplacementGroups)
{
    const struct {
        const char* line;
        const char* want;
    } rows[] = {
        {"#include <stdio.h>\n", "stdio.h"},
        {"x = \"a.txt\";", "a.txt"},
        {"#include \"a.h\" // <b.h>", "a.h"},
        {"error: main.c: 12", "main.c"},
        {"say 'hi' ", "hi"},
        {"plain", ""},
        {"\"", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_EQ(QelTextInDelimiters(row.line), row.want);
    }

    EXPECT_TRUE(QelIsTargetRE("\\1X"));
    EXPECT_TRUE(QelIsTargetRE("a\\9"));
    EXPECT_FALSE(QelIsTargetRE("\\0 and \\n"));
    EXPECT_FALSE(QelIsTargetRE(""));
}

// Offsets past eight digits grow the offset field, as hexdump's do; the
// line end is the one asked for. The editor's dump is compared with hexdump
// itself (stchex_guitest).
TEST(StcHexDump, WideOffsetsAndLineEnds)
{
    const struct {
        long long start;
        const char* bytes;
        const char* eol;
        const char* want;
    } rows[] = {
        {0xFFFFFFF0LL, "A\x7f", "\n",
         "fffffff0: 41 7f                                             A.\n"},
        {0x123456789LL, "\t~", "\r\n",
         "123456789: 09 7e                                             .~\r\n"},
        {0x7FFFFFFFFFFFFFF0LL, " ", "\r",
         "7ffffffffffffff0: 20                                                 \r"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.want);
        EXPECT_EQ(QelHexDump(row.start, row.bytes, std::strlen(row.bytes), row.eol), row.want);
    }
}
