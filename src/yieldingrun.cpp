#include <qelkit/yieldingrun.h>

#include <utility>

#include <wx/app.h>

int QelYieldingRun::m_Depth = 0;
std::vector<std::function<void()>> QelYieldingRun::m_Waiting;

namespace {

// Posted, never called here: the run's handler is still on the stack.
void Post(std::function<void()> then)
{
    if (wxAppConsole* app = wxAppConsole::GetInstance(); app != nullptr)
        app->CallAfter(std::move(then));
}

} // namespace

QelYieldingRun::~QelYieldingRun()
{
    if (--m_Depth > 0) return;
    std::vector<std::function<void()>> waiting;
    waiting.swap(m_Waiting);
    for (std::function<void()>& then : waiting) Post(std::move(then));
}

void QelYieldingRun::AfterAll(std::function<void()> then)
{
    if (IsUnderWay())
        m_Waiting.push_back(std::move(then));
    else
        Post(std::move(then));
}
