#pragma once
// A dialog built from its template, run modally (DoModal) or shown modeless (Create).

#include <QDialog>

#include "platform/ui/DialogBase.h"

class CDialog : public QDialog, public CDialogBase {
public:
    explicit CDialog(UINT templateId, QWidget* parent = nullptr);

    // Shows the dialog and runs its modal loop; IDOK or IDCANCEL (or the EndDialog result).
    virtual int DoModal();
    BOOL Create(QWidget* parent = nullptr);
    void EndDialog(int result);

    BOOL OnCommand(UINT id, UINT code) override;
    virtual void OnOK();
    virtual void OnCancel();

    // Moves the window's outer rectangle to (x, y) in screen coordinates.
    void MoveTo(int x, int y) { move(x, y); }

protected:
    void reject() override { OnCancel(); }
};
