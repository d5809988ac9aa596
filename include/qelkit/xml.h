// Reading the XML files of the program (lexers.xml, vcs.xml, projects) into
// the toolkit's document tree, safely against hostile files: nesting is
// bounded before any tree is built that deep, and reading takes time in
// proportion to the size of the file, however long one text or value is.
#pragma once

#include <cstddef>

#include <wx/string.h>

class wxXmlDocument;

// Elements may nest this deep, the root counting as one; deeper documents are
// refused (freeing or walking a deeper tree could overflow the stack).
constexpr int kQelXmlMaxDepth = 1000;

// Parses a whole document held in memory into doc, replacing what it held.
// The tree is the toolkit's: elements, text (a text that is only white space
// is left out), CDATA sections, comments and processing instructions, each
// with its line; references to entities declared in the document itself are
// not expanded. False for malformed XML or too deep a nesting, with the
// reason and its line ("... at line 3") in error.
[[nodiscard]] bool QelParseXml(const char* data, size_t size, wxXmlDocument* doc, wxString* error);

// The same for a file; error also tells why a file cannot be read.
[[nodiscard]] bool QelLoadXml(const wxString& path, wxXmlDocument* doc, wxString* error);
