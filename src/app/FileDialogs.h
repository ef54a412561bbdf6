#pragma once

class QFileDialog;

namespace kitebar::app {

// Sizes the toolkit's own file dialog for its Japanese texts, which are wider
// than the English ones it was laid out for: the kinds, sizes and dates show
// whole, the names take the rest, and the side panel shows its places whole.
// It opens over its owner, as every dialog does, and no larger than the
// owner's screen. A dialog of the system is left as it is.
void FitFileDialog(QFileDialog& dialog);

}  // namespace kitebar::app
