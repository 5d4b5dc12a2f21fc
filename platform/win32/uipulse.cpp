#include "platform/uipulse.h"

// Not built yet on Windows: the pulse never beats and serviceEvents handles nothing, so a run
// there blocks the editor until it ends, as it always did. What goes here:
//
// - The pulse: Windows has no signals to aim at a thread. A timer of the system's thread pool
//   (CreateThreadpoolTimer, every intervalMs after firstMs) calls the beat on a pool thread.
//   The runtime accepts a postponed job registered from a thread that is not its own (it then
//   marks its main thread), so the beat can stay what it is on Linux. What the pool thread
//   cannot do by itself is wake the UI thread out of a blocking call: the runtime's blocking
//   calls on Windows wait on an event of the thread together with the call, and the runtime
//   sets that event for its own interrupts (its emulated signals, `Thread#raise`). The beat on
//   Windows must therefore end with the runtime's way of interrupting its main thread; that
//   way, and whether a console-less DLL may use the emulated SIGBREAK for it, is to be
//   verified under Wine and on Windows before this is built. (rb_postponed_job_register_one
//   of Ruby 3.1 does take a thread without a Ruby context: it marks the main ractor's running
//   context instead.)
// - The Stop itself needs nothing here: ScriptWatch delivers it through a trap of the
//   runtime's own signals, which the runtime emulates on Windows (SIGBREAK there), so only the
//   pulse and serviceEvents are missing, and the script window's Windows face has no running
//   display yet.
// - serviceEvents: a PeekMessage / TranslateMessage / DispatchMessage loop over the thread's
//   waiting messages that drops keyboard and mouse messages (and WM_CLOSE) whose window is not
//   @p window or one of its children, with IsDialogMessage for the script window so that
//   Escape reaches it.

namespace platform {

UiPulse::UiPulse(Beat, int, int) {}

UiPulse::~UiPulse() = default;

void UiPulse::serviceEvents(WindowHandle) {}

} // namespace platform
