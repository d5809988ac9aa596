// The vi emulation of one editor. While it is off every key goes to the
// editor unchanged; switched on by the "vi mode" setting.
#pragma once

#include <wx/event.h>
#include <wx/string.h>

class QelSTC;

class QelVi {
public:
    // Off, bound to the editor that owns it (never null, not owned).
    explicit QelVi(QelSTC* stc);

    QelVi(const QelVi&) = delete;
    QelVi& operator=(const QelVi&) = delete;

    // Switches the emulation on or off.
    void Use(bool mode) { m_IsActive = mode; }

    bool GetIsActive() const { return m_IsActive; }
    bool GetInsertMode() const { return m_InsertMode; }
    int GetSearchFlags() const { return m_SearchFlags; }
    QelSTC* GetSTC() { return m_STC; }

    // Key handlers: true lets the editor handle the key itself, false means
    // the emulation consumed it.
    bool OnChar(const wxKeyEvent& event);
    bool OnKeyDown(const wxKeyEvent& event);

    // One "set" option without the word "set ": "ts=N" or "tabstop=N" sets
    // the tab width and stores it as the "Tab width" setting. False (and the
    // bell) for any other option or a width below 1.
    bool DoCommandSet(const wxString& command);

    // The options of a file's mode line ("ts=4 sw=4" or "ts=4:"), applied to
    // this editor only, and only while the emulation is on. Options that are
    // not understood are passed over; nothing in them is ever run as a
    // command, and the settings are not touched. The number of options taken.
    int ApplyModeLine(const wxString& options);

private:
    QelSTC* m_STC;
    bool m_IsActive = false;
    bool m_InsertMode = false;
    int m_SearchFlags = 0x200004; // regular expression, match case
};

// The tab width of one "ts=N" or "tabstop=N" option; 0 when the option is
// another one or the width is not a whole number above 0.
int QelViTabStop(const wxString& option);
