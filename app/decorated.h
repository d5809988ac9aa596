// The base of the main window: title, icon, status-bar panes, menu bar and
// the extra tool of the tool bar. It holds no data; the commands behind its
// items are the main window's.
#pragma once

#include <vector>

#include <qelkit/report/frame.h>
#include <qelkit/statusbar.h>

class DecoratedFrame : public QelFrameWithHistory {
public:
    DecoratedFrame();
    ~DecoratedFrame() override = default;

    // A changed editor or project is offered to be saved first; false keeps
    // the page.
    bool AllowClose(int id, wxWindow* page) override;
    // The selected editor shows its properties and the title, the selected
    // project its name and counts.
    void OnNotebook(int id, wxWindow* page) override;
};

// The status-bar panes for the number of lexers and of version-control
// systems known at start-up, in field order.
std::vector<QelStatusBarPane> DecoratedPanes(size_t lexers, size_t vcs_systems);
