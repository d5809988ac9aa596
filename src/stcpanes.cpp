#include "stcpanes.h"

#if __has_include(<qelkit/frame.h>)
#include <qelkit/frame.h>
#define QEL_HAVE_FRAME 1
#endif

#include <qelkit/stc.h>

void QelShowPane(const wxString& text, const wxString& pane)
{
#ifdef QEL_HAVE_FRAME
    QelFrame::StatusText(text, pane);
#else
    (void)text;
    (void)pane;
#endif
}

void QelUpdatePane(QelSTC* stc, const wxString& pane)
{
#ifdef QEL_HAVE_FRAME
    QelFrame::UpdateStatusBar(stc, pane);
#else
    (void)stc;
    (void)pane;
#endif
}
