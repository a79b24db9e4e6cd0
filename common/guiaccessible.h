#pragma once
// Accessible names for the controls of every window: a button, list or text
// box that has none of its own is named after its tooltip, the label before
// it, its group box or the box it belongs to, so screen readers can say what
// each control is for.

class QWidget;

// Names the unnamed controls below root.
void nameControlsForAccessibility(QWidget *root);
// From now on, names the controls of each window as it is shown.
void nameControlsOfEveryWindow();
