// The application's main window, hidden, with the lexers of the source tree
// and settings of its own, for the tests of its commands.
#pragma once

#include "frame.h"
#include "testing.h"

class AppFrameTest : public qeltest::ConfigTest {
protected:
    void SetUp() override
    {
        ConfigTest::SetUp();
        qeltest::InstallLexers(QEL_SOURCE_DIR "/data/lexers.xml");
        m_Frame = new Frame(false);
    }
    // Deleted, not closed: unsaved test edits must not ask anything.
    void TearDown() override { delete m_Frame, ConfigTest::TearDown(); }

    Frame* m_Frame = nullptr;
};
