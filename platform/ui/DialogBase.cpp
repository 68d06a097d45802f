#include "platform/ui/DialogBase.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>

#include "platform/ui/Controls.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/EditLook.h"
#include "platform/ui/FrameworkIds.h"
#include "platform/ui/ToolbarImages.h"

namespace {

// Tells the dialog of every mouse click in a list view, also below the last row (item -1).
class ListClickFilter : public QObject {
public:
    ListClickFilter(QTableWidget* table, std::function<void(int)> onClick)
        : QObject(table), table_(table), onClick_(std::move(onClick)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton)
                onClick_(table_->indexAt(mouse->position().toPoint()).row());
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QTableWidget* table_;
    std::function<void(int)> onClick_;
};

QWidget* MakeButton(const DialogItem& item, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(item.text ? item.text : ""), parent);
    button->setAutoDefault(false);
    button->setDefault(item.kind == ControlKind::DefPushButton);
    return button;
}

QWidget* MakeEdit(const DialogItem& item, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setFrame((item.style & WS_BORDER) != 0);
    if (item.style & ES_RIGHT)
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return edit;
}

QWidget* MakeSlider(const DialogItem& item, QWidget* parent) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setRange(0, 100);
    slider->setPageStep(DefaultSliderPageStep(0, 100));
    if (item.style & TBS_AUTOTICKS)
        slider->setTickPosition((item.style & TBS_BOTH) ? QSlider::TicksBothSides : QSlider::TicksBelow);
    slider->setTickInterval(1);
    return slider;
}

QWidget* MakeListView(const DialogItem& item, QWidget* parent) {
    auto* table = new QTableWidget(parent);
    table->verticalHeader()->hide();
    table->setShowGrid(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode((item.style & LVS_SINGLESEL) ? QAbstractItemView::SingleSelection
                                                         : QAbstractItemView::ExtendedSelection);
    table->setWordWrap((item.style & LVS_NOLABELWRAP) == 0);
    table->setFrameShape((item.style & WS_BORDER) ? QFrame::Box : QFrame::NoFrame);
    table->horizontalHeader()->setHighlightSections(false);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    table->horizontalHeader()->setFixedHeight(table->fontMetrics().height() + 6);
    return table;
}

// Windows draws a group box's title on its top line, half above the frame.
QWidget* MakeGroupBox(const QString& title, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    box->setStyleSheet(
        QStringLiteral("QGroupBox { border: 1px solid palette(mid); margin-top: 0.5em; }"
                       "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"));
    return box;
}

QWidget* MakeFrame(QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setLineWidth(1);
    QPalette palette = frame->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    frame->setPalette(palette);
    return frame;
}

QWidget* MakeIcon(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setPixmap(ApplicationIcon().pixmap(32, 30));
    return label;
}

} // namespace

CDialogBase::CDialogBase(UINT templateId) : template_(FindDialogTemplate(templateId)) {}

QWidget* CDialogBase::GetDlgItem(int id) const {
    const auto found = items_.find(id);
    return found == items_.end() ? nullptr : found->second;
}

QSize CDialogBase::TemplateSize() const {
    if (!template_)
        return {};
    return {units_.ToPixelsX(template_->cx), units_.ToPixelsY(template_->cy)};
}

BOOL CDialogBase::UpdateData(BOOL saveAndValidate) {
    if (!window_)
        return FALSE;
    const bool wasExchanging = exchanging_;
    exchanging_ = true;
    CDataExchange dx(this, saveAndValidate);
    BOOL ok = TRUE;
    try {
        DoDataExchange(&dx);
    } catch (const DataExchangeFailure&) {
        ok = FALSE;
    }
    exchanging_ = wasExchanging;
    return ok;
}

BOOL CDialogBase::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialogBase::OnCommand(UINT id, UINT code) {
    const auto handler = controlHandlers_.find({static_cast<int>(id), code});
    if (handler == controlHandlers_.end())
        return FALSE;
    handler->second();
    return TRUE;
}

void CDialogBase::OnHScroll(UINT, UINT, QSlider*) {}

BOOL CDialogBase::OnNotify(UINT id, UINT code, int item, LRESULT* result) {
    const auto handler = notifyHandlers_.find({static_cast<int>(id), code});
    if (handler == notifyHandlers_.end())
        return FALSE;
    handler->second(item);
    if (result)
        *result = 0;
    return TRUE;
}

void CDialogBase::OnControl(int id, UINT code, std::function<void()> handler) {
    controlHandlers_[{id, code}] = std::move(handler);
}

void CDialogBase::OnNotifyItem(int id, UINT code, std::function<void(int)> handler) {
    notifyHandlers_[{id, code}] = std::move(handler);
}

void CDialogBase::CreateControls(QWidget* window) {
    window_ = window;
    if (!template_)
        return;
    const QFont font = TemplateFont(template_->fontFace, template_->pointSize);
    window->setFont(font);
    units_ = DialogBaseUnits(font);
    for (int i = 0; i < template_->itemCount; ++i) {
        const DialogItem& item = template_->items[i];
        QWidget* control = CreateControl(item, window);
        control->setGeometry(units_.ToPixels(item.x, item.y, item.cx, item.cy));
        control->setEnabled((item.style & WS_DISABLED) == 0);
        control->setFocusPolicy((item.style & WS_TABSTOP) ? Qt::StrongFocus : control->focusPolicy());
        control->setVisible((item.style & WS_VISIBLE) != 0);
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            MakeDisabledTextReadable(*edit);
            FitThreeDigits(*edit);
        }
        if (item.id != IDC_STATIC)
            items_[item.id] = control;
        WireNotifications(item, control);
    }
}

QWidget* CDialogBase::CreateControl(const DialogItem& item, QWidget* window) {
    const QString text = QString::fromUtf8(item.text ? item.text : "");
    switch (item.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefPushButton:
    case ControlKind::OwnerDrawButton:
        return MakeButton(item, window);
    case ControlKind::CheckBox:
        return new QCheckBox(text, window);
    case ControlKind::GroupBox:
        return MakeGroupBox(text, window);
    case ControlKind::Frame:
        return MakeFrame(window);
    case ControlKind::Icon:
        return MakeIcon(window);
    case ControlKind::Edit:
        return MakeEdit(item, window);
    case ControlKind::Slider:
        return MakeSlider(item, window);
    case ControlKind::ListView:
        return MakeListView(item, window);
    case ControlKind::Static:
        break;
    }
    auto* label = new QLabel(text, window);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

void CDialogBase::WireNotifications(const DialogItem& item, QWidget* control) {
    const UINT id = static_cast<UINT>(item.id);
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        QObject::connect(button, &QAbstractButton::clicked, window_,
                         [this, id] { OnCommand(id, BN_CLICKED); });
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        QObject::connect(edit, &QLineEdit::textChanged, window_, [this, id] {
            if (!exchanging_)
                OnCommand(id, EN_CHANGE);
        });
    } else if (auto* slider = qobject_cast<QSlider*>(control)) {
        QObject::connect(slider, &QSlider::valueChanged, window_, [this, slider](int position) {
            OnHScroll(TB_THUMBTRACK, static_cast<UINT>(position), slider);
        });
        QObject::connect(slider, &QSlider::sliderReleased, window_, [this, slider] {
            OnHScroll(TB_ENDTRACK, static_cast<UINT>(slider->value()), slider);
        });
    } else if (auto* table = qobject_cast<QTableWidget*>(control)) {
        table->viewport()->installEventFilter(new ListClickFilter(table, [this, id](int row) {
            LRESULT result = 0;
            OnNotify(id, NM_CLICK, row, &result);
        }));
    }
}
