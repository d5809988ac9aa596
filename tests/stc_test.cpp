// The editor's pure helpers: mode lines, tab stops, link texts, replacement
// texts and the hexadecimal dump's wide offsets.
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <qelkit/stc.h>
#include <qelkit/vi.h>

// Only the options after "vi: set" are taken: a shell command is never one.
TEST(StcModeLine, OptionsAndTabStops)
{
    const std::vector<std::pair<const char*, const char*>> lines{
        {"a: b\n# vi: set ts=4\nmore", "ts=4"},
        {"# :!touch /tmp/x\n# vi: set ts=4", "ts=4"},
        {"/* vi:set ts=8 sw=8: */\n", "ts=8 sw=8: */"},
        {"# vim: set ts=4", ""},
        {"# vi: ts=4", ""},
        {"", ""}};
    for (const auto& [sample, want] : lines) EXPECT_EQ(QelModeLineOptions(sample), want) << sample;
    const std::vector<std::pair<const char*, int>> options{
        {"ts=4", 4}, {"tabstop=8", 8}, {"ts=-2", 0}, {"sw=4", 0}, {"ts=x", 0}, {"!rm -rf x", 0}};
    for (const auto& [option, want] : options) EXPECT_EQ(QelViTabStop(option), want) << option;
}

TEST(StcText, DelimitedTextAndReplacementGroups)
{
    const std::vector<std::pair<const char*, const char*>> rows{
        {"#include <stdio.h>\n", "stdio.h"},
        {"#include \"a.h\" // <b.h>", "a.h"},
        {"error: main.c: 12", "main.c"},
        {"say 'hi' ", "hi"},
        {"plain", ""},
        {"\"", ""}};
    for (const auto& [line, want] : rows) EXPECT_EQ(QelTextInDelimiters(line), want) << line;
    EXPECT_TRUE(QelIsTargetRE("a\\9"));
    EXPECT_FALSE(QelIsTargetRE("\\0 and \\n"));
}

// Offsets past eight digits grow the offset field, as hexdump's do; the
// line end is the one asked for. The dump itself is compared with hexdump
// in stchex_guitest.
TEST(StcHexDump, WideOffsetsAndLineEnds)
{
    EXPECT_EQ(QelHexDump(0x123456789LL, "\t~", 2, "\r\n"),
              "123456789: 09 7e                                             .~\r\n");
    EXPECT_EQ(QelHexDump(0x7FFFFFFFFFFFFFF0LL, " ", 1, "\r"),
              "7ffffffffffffff0: 20                                                 \r");
}
