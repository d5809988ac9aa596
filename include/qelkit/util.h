// Text and settings utilities shared by the whole library: lists stored as
// one settings value, their transfer to and from combo boxes, and small text
// helpers for labels, status texts, comments and page headers.
#pragma once

#include <list>

#include <wx/arrstr.h>
#include <wx/bitmap.h>
#include <wx/string.h>

class wxComboBox;
class wxFileName;
class QelStat;
class QelLexer;

// Settings lists: every item is followed by the field separator (code 11),
// the last one included; reading drops empty items.

// The character with code 11 (vertical tab) that ends every stored list item.
wxUniChar QelGetFieldSeparator();

// Writes the list under key `config` of the global configuration.
void QelListToConfig(const std::list<wxString>& l, const wxString& config);

// The list stored under key `config`; empty when the key is missing.
std::list<wxString> QelListFromConfig(const wxString& config);

// The first item of the list stored under `key` (the whole value when it
// holds no separator); empty when the key is missing or the list is empty.
wxString QelConfigFirstOf(const wxString& key);

// Replaces the items of `cb` by `text` and shows the first one;
// an empty list leaves the combo box as it is.
void QelComboBoxFromList(wxComboBox* cb, const std::list<wxString>& text);

// The history to store for `cb`: its current value first, then its items.
std::list<wxString> QelComboBoxToList(const wxComboBox* cb, size_t max_items);

// The same rule on plain data: `value` first, then `items` without it.
std::list<wxString> QelHistoryList(const wxString& value, const wxArrayString& items,
                                   size_t max_items);

// Text helpers.

// The text between single quotes.
wxString QelQuoted(const wxString& text);

// The text followed by "...", then a tab and `control` when that is not empty.
wxString QelEllipsed(const wxString& text, const wxString& control = wxEmptyString);

// The end of the text with a leading "..." when it is longer than max_chars.
wxString QelGetEndOfText(const wxString& text, size_t max_chars);

// Number of lines: carriage returns + 1, else line feeds + 1; 0 when empty.
int QelGetNumberOfLines(const wxString& text);

// The whole number after the last ":" of the text; 0 when there is none.
int QelGetLineNumber(const wxString& text);

// Every run of white space replaced by `replace_with`, both ends trimmed.
wxString QelSkipWhiteSpace(const wxString& text, const wxString& replace_with = " ");

// Takes the first word off `text` (which keeps the rest, left-trimmed) and
// returns it. Words are separated by blanks and tabs, with ":" added by
// use_other_field_separators; use_path_separator makes "/" the only one.
wxString QelGetWord(wxString& text, bool use_other_field_separators = false,
                    bool use_path_separator = false);

// The words of `lines` wrapped into comment lines of the lexer's width,
// the first line starting with `header`; no line feed after the last line.
wxString QelAlignText(const wxString& lines, const wxString& header, bool fill_out_with_space,
                      bool fill_out, const QelLexer& lexer);

// The text with "@PAGENUM@" and "@PAGESCNT@" replaced by the two numbers.
wxString QelTranslate(const wxString& text, int pageNum, int numPages);

// Index of the file's icon in the toolkit's file-icon table (needs a display).
int QelGetIconID(const wxFileName& filename);
// The same for a file whose status was just taken.
int QelGetIconID(const wxFileName& filename, const QelStat& stat);
// That icon as a small bitmap (null without the table).
wxBitmap QelGetIconBitmap(const wxFileName& filename);
