#pragma once

class QDialog;

namespace kitebar::app {

// Keeps every button of a dialog reachable on a screen too small for it (a
// small screen, or a large scale): a dialog that fits the room on its owner's
// screen keeps its designed layout untouched; one that does not gets its
// contents in a scroll area and the size that fits. A dialog laid out by a
// box layout keeps its button box below the scroll area, always in view.
// Called as the dialog is shown, before it is placed over its owner.
void FitToScreen(QDialog& dialog);

// The same for a dialog of the toolkit that changes its size while it is
// open (the print dialog's オプション): fitted, and placed over its owner
// again, whenever it is shown or grows past the room on the screen.
void KeepFittedToScreen(QDialog& dialog);

}  // namespace kitebar::app
