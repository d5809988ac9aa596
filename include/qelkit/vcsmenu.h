// Version-control commands in menus and editors: running the command a menu
// item stands for, and styling an editor that shows a command's output.
#pragma once

#include <wx/arrstr.h>

class QelFrame;
class QelLexer;
class QelSTC;
class QelVCSCommand;

// Runs the per-document command of menu id `id` on `documents` (full paths).
// An open command asks once, then opens the output of each document as a
// page of `frame`; any other command runs once on all documents and shows
// its output.
void QelVCSExecute(QelFrame* frame, int id, const wxArrayString& documents);

// Gives `stc`, which shows the output of `command` run on a document with
// `lexer`, the lexer for that output: "diff" for a diff, the document's own
// for an open command, none otherwise. Blame output gets no edge line.
void QelVCSCommandOnSTC(const QelVCSCommand& command, const QelLexer& lexer, QelSTC* stc);
