#pragma once
// Dialog data exchange: members to controls and back, with the range checks and the framework's
// messages when a typed value is refused.

#include <QString>
#include <string>

#include "platform/ui/Controls.h"

class CDialogBase;

class CDataExchange {
public:
    CDataExchange(CDialogBase* dialog, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    // Remembers the control being exchanged, which gets the focus if its value is refused.
    QWidget* PrepareCtrl(int id);
    QWidget* PrepareEditCtrl(int id);
    // Gives the focus to the last prepared control and abandons the exchange.
    [[noreturn]] void Fail();

    BOOL m_bSaveAndValidate;
    CDialogBase* m_pDlgWnd;

private:
    QWidget* lastControl_ = nullptr;
    bool lastWasEdit_ = false;
};

// Thrown by CDataExchange::Fail and caught by UpdateData.
struct DataExchangeFailure {};

// The framework's messages, in Korean like the rest of the interface.
QString IntegerExpectedMessage();
QString IntegerRangeMessage(int minimum, int maximum);

void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, std::string& value);
void DDX_Check(CDataExchange* dx, int id, int& value);
void DDV_MinMaxInt(CDataExchange* dx, int value, int minimum, int maximum);
void DDX_Control(CDataExchange* dx, int id, CSliderCtrl& control);
void DDX_Control(CDataExchange* dx, int id, CListCtrl& control);

// Reads a decimal integer as the framework does: blanks around it, an optional sign, digits.
bool ParseDialogInteger(const QString& text, int& value);
