#pragma once

class QDialog;

/// Shows a window modally the way the host's toolkit does for its plug-ins.
namespace ModalShowing {

/**
 * Shows @p window modally: every other visible, enabled top-level window is disabled while it
 * is shown and enabled again afterwards (those that still exist), and the window that was
 * active gets the activation back if @p window still had it. Returns when @p window closes or
 * is destroyed. Throws std::runtime_error when @p window is already visible.
 */
void exec(QDialog &window);

} // namespace ModalShowing
