// The vi tests' editor: a hidden editor control with vi switched on, driven
// by key events, and vim run on the same text and keys for comparison.
#pragma once

#include <memory>
#include <string>

#include <qelkit/stc.h>
#include <qelkit/vi.h>

#include "testing.h"

namespace qeltest {

// Keys as vim writes them: plain characters, and "<Esc>", "<CR>", "<BS>",
// "<Tab>" and "<C-x>" for the special ones; "<M-BS>" and "<C-S-x>" (Shift
// too) only in rows that vim does not run.
class ViTest : public EditorTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The text with LF line ends, the caret on a 1-based line and byte column.
    void SetText(const std::string& text, int line = 1, int column = 1);
    std::string Text() const { return TextBytes(m_Stc); }
    // The caret as "line,column", both 1-based, the column in bytes.
    std::string Caret() const;
    // Sends the keys as key-down and character events; in command mode ":",
    // "/" and "?" hand the line up to "<CR>" on as the frame's bar does.
    void Type(const std::string& keys);

    // vim on the same text from the same caret: the written file, and the
    // cursor in `caret` as "line,column".
    std::string RunVim(const std::string& text, int line, int column, const std::string& keys,
                       std::string* caret) const;

    QelSTC* m_Stc = nullptr;
    QelVi* m_Vi = nullptr;

private:
    void SendKey(int key_code, int unicode, int modifiers);
    std::unique_ptr<ClipboardLock> m_Lock;
};

} // namespace qeltest
