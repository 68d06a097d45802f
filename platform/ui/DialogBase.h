#pragma once
// What dialogs and property pages share: controls built from a dialog template, data exchange
// between members and controls, and the notifications of the controls.

#include <QWidget>
#include <functional>
#include <map>

#include "platform/os/MessageBox.h"
#include "platform/ui/CmdTarget.h"
#include "platform/ui/ResourceTables.h"
#include "platform/ui/TemplateFonts.h"
#include "platform/ui/WindowStyles.h"

class CDataExchange;
class QSlider;

// Notification codes with their Win32 values.
constexpr UINT BN_CLICKED = 0;
constexpr UINT EN_CHANGE = 0x0300;
constexpr UINT NM_CLICK = static_cast<UINT>(-2);
constexpr UINT TB_THUMBTRACK = 5;
constexpr UINT TB_ENDTRACK = 8;

class CDialogBase : public CCmdTarget {
public:
    explicit CDialogBase(UINT templateId);
    ~CDialogBase() override = default;

    const DialogTemplate* Template() const { return template_; }
    bool HasControls() const { return window_ != nullptr; }
    QWidget* GetDlgItem(int id) const;
    template <typename T> T* DlgItem(int id) const { return qobject_cast<T*>(GetDlgItem(id)); }
    const DialogBaseUnits& BaseUnits() const { return units_; }
    // The template's size in pixels.
    QSize TemplateSize() const;

    // TRUE: controls to members, with validation; FALSE: members to controls. Returns FALSE when
    // a value was refused (the user has been told and the control has the focus).
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    // True while UpdateData runs: the notifications its writes cause are not dispatched.
    bool IsExchanging() const { return exchanging_; }

    virtual void DoDataExchange(CDataExchange*) {}
    virtual BOOL OnInitDialog();
    virtual BOOL OnCommand(UINT id, UINT code);
    virtual void OnHScroll(UINT code, UINT position, QSlider* slider);
    virtual BOOL OnNotify(UINT id, UINT code, int item, LRESULT* result);

protected:
    // Builds the template's controls into `window` and wires their notifications.
    void CreateControls(QWidget* window);
    void OnControl(int id, UINT code, std::function<void()> handler);
    void OnNotifyItem(int id, UINT code, std::function<void(int item)> handler);

private:
    QWidget* CreateControl(const DialogItem& item, QWidget* window);
    void WireNotifications(const DialogItem& item, QWidget* control);

    const DialogTemplate* template_;
    QWidget* window_ = nullptr;
    DialogBaseUnits units_;
    std::map<int, QWidget*> items_;
    std::map<std::pair<int, UINT>, std::function<void()>> controlHandlers_;
    std::map<std::pair<int, UINT>, std::function<void(int)>> notifyHandlers_;
    bool exchanging_ = false;
};
