#pragma once
#include <windows.h>

#include <cstddef>
#include <functional>
#include <vector>

class CDialog;

// Test steps run one per posted message inside a dialog's own modal loop, so a step
// sees what the messages posted by the one before it did. A watchdog ends a dialog
// that a failed step left running, so a broken loop fails the test instead of hanging it.
class ModalScript {
public:
    static constexpr UINT kStepMessage = WM_APP + 0x100;
    static constexpr UINT_PTR kWatchdogTimer = 0x5A5A;
    static constexpr UINT_PTR kStepTimer = 0x5A5B;
    static constexpr INT_PTR kWatchdogResult = -77;

    void Add(std::function<void()> step) { m_steps.push_back(std::move(step)); }
    // From OnInitDialog: the first step runs once the modal loop is up.
    void Start(CDialog& dlg, UINT nWatchdogMs = 5000);
    // TRUE when the message belonged to the script and is handled.
    BOOL OnMessage(CDialog& dlg, UINT message, WPARAM wParam);
    // From a step: start the next one by a timer after nMs rather than at once, so
    // that timers (which come only from an empty queue) get their turn first.
    void ContinueAfter(UINT nMs) { m_nDelayMs = nMs; }
    std::size_t StepsRun() const { return m_nNext; }
    std::size_t StepCount() const { return m_steps.size(); }

private:
    std::vector<std::function<void()>> m_steps;
    std::size_t m_nNext = 0;
    UINT m_nDelayMs = 0;
};
