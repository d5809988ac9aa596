#include "stcpanes.h"

#include <qelkit/frame.h>
#include <qelkit/stc.h>

void QelShowPane(const wxString& text, const wxString& pane)
{
    QelFrame::StatusText(text, pane);
}

void QelUpdatePane(QelSTC* stc, const wxString& pane)
{
    if (QelFrame::GetSharedStatusBar() == nullptr) return;

    if (pane == "PaneFileType") {
        QelFrame::StatusText(QelFileTypeText(stc->GetFlags(), stc->GetEOLMode()), pane);
    } else if (pane == "PaneLexer") {
        QelFrame::StatusText(stc->GetLexer().GetScintillaLexer(), pane);
    } else if (pane == "PaneInfo") {
        const int caret = stc->GetCurrentPos();
        const int line = stc->LineFromPosition(caret);
        const QelPaneInfoState state{caret,
                                     stc->GetLineCount(),
                                     line,
                                     stc->PositionFromLine(line),
                                     stc->GetSelectionStart(),
                                     stc->GetSelectionEnd(),
                                     stc->SelectionIsRectangle(),
                                     stc->GetSelectedText()};
        QelFrame::StatusText(QelFormatPaneInfo(state), pane);
    } else {
        wxFAIL_MSG("unknown status-bar pane: " + pane);
    }
}
