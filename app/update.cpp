#include "frame.h"

void Frame::OnUpdateUI(wxUpdateUIEvent& event)
{
    event.Skip();
}
