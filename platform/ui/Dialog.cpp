#include "platform/ui/Dialog.h"

#include "platform/os/MessageBox.h"

namespace {

Qt::WindowFlags FlagsFor(const DialogTemplate* t) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if (!t || (t->style & WS_CAPTION) == WS_CAPTION)
        flags |= Qt::WindowTitleHint;
    if (!t || (t->style & WS_SYSMENU))
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    return flags;
}

} // namespace

CDialog::CDialog(UINT templateId, QWidget* parent) : QDialog(parent), CDialogBase(templateId) {
    setWindowFlags(FlagsFor(Template()));
    CreateControls(this);
    if (Template()) {
        setWindowTitle(QString::fromUtf8(Template()->caption));
        setFixedSize(TemplateSize());
    }
}

int CDialog::DoModal() {
    OnInitDialog();
    return exec();
}

BOOL CDialog::Create(QWidget* parent) {
    if (parent)
        setParent(parent, windowFlags());
    OnInitDialog();
    show();
    return TRUE;
}

void CDialog::EndDialog(int result) {
    done(result);
}

BOOL CDialog::OnCommand(UINT id, UINT code) {
    if (CDialogBase::OnCommand(id, code))
        return TRUE;
    if (code != BN_CLICKED)
        return FALSE;
    if (id == IDOK) {
        OnOK();
        return TRUE;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}
