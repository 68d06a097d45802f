#include "platform/ui/DataExchange.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSlider>
#include <QTableWidget>
#include <climits>

#include "platform/os/MessageBox.h"
#include "platform/ui/DialogBase.h"
#include "platform/ui/FrameworkIds.h"
#include "platform/ui/StringResources.h"

namespace {

void ShowRefusal(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    const QByteArray caption = LoadResourceString(AFX_IDS_APP_TITLE).toUtf8();
    MessageBoxA(nullptr, utf8.constData(), caption.constData(), MB_OK | MB_ICONEXCLAMATION);
}

// Sets an edit's text unless it already shows it, so typing in it is not disturbed.
void ShowText(QWidget* control, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        if (edit->text() != text)
            edit->setText(text);
    } else if (control && control->property("text").isValid()) {
        if (control->property("text").toString() != text)
            control->setProperty("text", text);
    }
}

QString TextOf(QWidget* control) {
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text();
    return control ? control->property("text").toString() : QString();
}

} // namespace

QString IntegerExpectedMessage() {
    return QStringLiteral("정수를 입력하십시오.");
}

QString IntegerRangeMessage(int minimum, int maximum) {
    return QStringLiteral("%1에서 %2 사이의 정수를 입력하십시오.").arg(minimum).arg(maximum);
}

bool ParseDialogInteger(const QString& text, int& value) {
    const QString trimmed = text.trimmed();
    qsizetype at = 0;
    bool negative = false;
    if (at < trimmed.size() && (trimmed[at] == QLatin1Char('-') || trimmed[at] == QLatin1Char('+')))
        negative = trimmed[at++] == QLatin1Char('-');
    if (at >= trimmed.size())
        return false;
    long long number = 0;
    for (; at < trimmed.size(); ++at) {
        const QChar c = trimmed[at];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        number = number * 10 + (c.unicode() - '0');
        if (number > static_cast<long long>(INT_MAX) + 1)
            return false;
    }
    number = negative ? -number : number;
    if (number > INT_MAX || number < INT_MIN)
        return false;
    value = static_cast<int>(number);
    return true;
}

QWidget* CDataExchange::PrepareCtrl(int id) {
    lastControl_ = m_pDlgWnd->GetDlgItem(id);
    lastWasEdit_ = false;
    return lastControl_;
}

QWidget* CDataExchange::PrepareEditCtrl(int id) {
    PrepareCtrl(id);
    lastWasEdit_ = true;
    return lastControl_;
}

void CDataExchange::Fail() {
    if (lastControl_) {
        lastControl_->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(lastControl_); edit && lastWasEdit_)
            edit->selectAll();
    }
    throw DataExchangeFailure{};
}

void DDX_Text(CDataExchange* dx, int id, int& value) {
    QWidget* control = dx->PrepareEditCtrl(id);
    if (!control)
        return;
    if (!dx->m_bSaveAndValidate) {
        ShowText(control, QString::number(value));
        return;
    }
    int parsed = 0;
    if (!ParseDialogInteger(TextOf(control), parsed)) {
        ShowRefusal(IntegerExpectedMessage());
        dx->Fail();
    }
    value = parsed;
}

void DDX_Text(CDataExchange* dx, int id, std::string& value) {
    QWidget* control = dx->PrepareEditCtrl(id);
    if (!control)
        return;
    if (dx->m_bSaveAndValidate)
        value = TextOf(control).toStdString();
    else
        ShowText(control, QString::fromStdString(value));
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
    auto* box = qobject_cast<QCheckBox*>(dx->PrepareCtrl(id));
    if (!box)
        return;
    if (dx->m_bSaveAndValidate) {
        value = box->checkState() == Qt::Checked ? 1 : box->checkState() == Qt::PartiallyChecked ? 2 : 0;
        return;
    }
    const Qt::CheckState state = value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
    if (box->checkState() != state)
        box->setCheckState(state);
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int minimum, int maximum) {
    if (!dx->m_bSaveAndValidate || (value >= minimum && value <= maximum))
        return;
    ShowRefusal(IntegerRangeMessage(minimum, maximum));
    dx->Fail();
}

void DDX_Control(CDataExchange* dx, int id, CSliderCtrl& control) {
    if (!control.IsAttached())
        control.Attach(qobject_cast<QSlider*>(dx->PrepareCtrl(id)));
}

void DDX_Control(CDataExchange* dx, int id, CListCtrl& control) {
    if (!control.IsAttached())
        control.Attach(qobject_cast<QTableWidget*>(dx->PrepareCtrl(id)));
}
