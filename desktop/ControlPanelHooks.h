#pragma once
// Connects the view's window with the control panel: the load dialog runs over the view and
// refreshes the model page, and every picture shows its frame on the model page.

class CLumivoxViewWindow;
class CMyPropertySheet;

// Both must outlive the view's window; the frame owns all three and removes the view first.
void ConnectControlPanel(CLumivoxViewWindow& window, CMyPropertySheet& sheet);
