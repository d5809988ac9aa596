// Runs that let the event loop go on while they work (a folder walk, a search
// in files): what the loop does meanwhile must not pull the window from under
// them.
#pragma once

#include <functional>
#include <vector>

// Marks such a run for as long as it lives. A close asked meanwhile waits
// for the last run to end, and then goes on from the event loop, that is,
// once the handler that ran it has returned.
class QelYieldingRun {
public:
    QelYieldingRun() { ++m_Depth; }
    ~QelYieldingRun();
    QelYieldingRun(const QelYieldingRun&) = delete;
    QelYieldingRun& operator=(const QelYieldingRun&) = delete;

    static bool IsUnderWay() { return m_Depth > 0; }

    // Calls `then` from the event loop once no run is under way: after the
    // last one ends, or at the loop's next turn when none is.
    static void AfterAll(std::function<void()> then);

private:
    static int m_Depth;
    static std::vector<std::function<void()>> m_Waiting;
};
