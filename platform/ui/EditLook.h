#pragma once
// How the edits of the dialog templates look: disabled ones stay readable, and the narrow ones
// hold a three-digit number without scrolling it under their border.

class QLineEdit;

// Disabled text keeps its grey look but stands out from the edit's and the dialog's background.
void MakeDisabledTextReadable(QLineEdit& edit);

// For an edit already at its final size: one pixel between border and text, as on the platform,
// and letters closed up (or, failing that, a smaller size) where the face's digits are too wide
// for three of them.
void FitThreeDigits(QLineEdit& edit);
