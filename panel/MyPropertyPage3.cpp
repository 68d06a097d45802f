#include "panel/MyPropertyPage3.h"

#include <QCheckBox>
#include <QMouseEvent>
#include <algorithm>
#include <cstdint>
#include <string>

#include "model/MD2Model.h"
#include "panel/TabHighlight.h"
#include "platform/os/Clock.h"
#include "platform/ui/DataExchange.h"
#include "resources/Resource.h"
#include "scene/Scene.h"
#include "state/AnimationSpeed.h"
#include "state/RenderSettings.h"

namespace {

constexpr int kNormalSliderMax = 10;
constexpr int kNormalSliderTicks = 2;
constexpr int kSpeedSliderTicks = 10;
constexpr int kFrameSliderTicks = 10;
constexpr DWORD kBlockListStyle =
    LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES | LVS_EX_FULLROWSELECT | LVS_EX_TWOCLICKACTIVATE | LVS_EX_FLATSB;
constexpr int kNameColumnWidth = 110;
constexpr int kFirstFrameColumnWidth = 40;
// The frame-count column takes what the first two leave of the list's width.
constexpr int kFixedColumnsWidth = 150;

MD2Model* CurrentModel() {
    return theScene->model.get();
}

// Blocks whose start is a stored frame: a model that failed to load has none.
int UsableBlockCount(const MD2Model* model) {
    if (!model)
        return 0;
    const int listed = std::min<int>(model->blockCount, static_cast<int>(model->blockStarts.size()));
    return std::max(listed, 0);
}

// The last frame of the block that starts at `first`.
int BlockLastFrame(const MD2Model& model, int first) {
    char name[MD2_FRAME_NAME_SIZE + 1];
    int last = first;
    model.FrameName(name, last);
    return last;
}

std::string Decimal(int value) {
    return std::to_string(value);
}

int Toggled(int flag) {
    return flag == 1 ? 0 : 1;
}

} // namespace

CMyPropertyPage3::CMyPropertyPage3()
    : CPropertyPage(IDD_PROPPAGE_MODEL), clock(timeGetTime), m_normalLength(theRenderSettings->normalLength) {
    m_psp.dwFlags |= PSP_USETITLE;
    m_psp.pszTitle = "option_MD2";

    OnControl(IDC_DISPLAY_NORMALS, BN_CLICKED, [this] {
        m_showNormals = Toggled(m_showNormals);
        theRenderSettings->showNormals = m_showNormals;
    });
    OnControl(IDC_APPLY_OFFSET_Y, BN_CLICKED, [this] {
        RenderSettings& settings = *theRenderSettings;
        settings.applyOffsetY = Toggled(settings.applyOffsetY);
        if (auto* box = DlgItem<QCheckBox>(IDC_APPLY_OFFSET_Y))
            box->setChecked(settings.applyOffsetY != 0);
    });
    OnControl(IDC_INVERSE_NORMALS, BN_CLICKED,
              [] { theRenderSettings->inverseNormals = Toggled(theRenderSettings->inverseNormals); });
    OnControl(IDC_SPEED, EN_CHANGE, [this] { OnSpeedEdited(); });
    for (const int id : {IDC_BUTTON_BACK, IDC_BUTTON_PLAY, IDC_BUTTON_STOP, IDC_BUTTON_AHEAD})
        OnControl(id, BN_CLICKED, [this, id] { OnPlayButton(id); });
    OnNotifyItem(IDC_BLOCK_LIST, NM_CLICK, [this](int item) { OnBlockListClick(item); });
}

BOOL CMyPropertyPage3::OnSetActive() {
    HighlightOwnTab(*this, true);
    return CPropertyPage::OnSetActive();
}

BOOL CMyPropertyPage3::OnKillActive() {
    return UnhighlightWhenLeft(*this, CPropertyPage::OnKillActive());
}

void CMyPropertyPage3::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_FRAME_SLIDER, m_frameSlider);
    DDX_Control(dx, IDC_BLOCK_LIST, m_blockList);
    DDX_Control(dx, IDC_NORMAL_SLIDER, m_normalSlider);
    DDX_Text(dx, IDC_NORMAL_LENGTH, m_normalLength);
    DDX_Check(dx, IDC_DISPLAY_NORMALS, m_showNormals);
    DDX_Control(dx, IDC_SPEED_SLIDER, m_speedSlider);
    DDX_Text(dx, IDC_BLOCK_COUNT, m_blockCount);
    DDX_Text(dx, IDC_CURRENT_BLOCK, m_currentBlock);
    DDX_Text(dx, IDC_TRIANGLE_COUNT, m_triangleCount);
    DDX_Text(dx, IDC_FIRST_FRAME, m_firstFrame);
    DDX_Text(dx, IDC_LAST_FRAME, m_lastFrame);
    DDX_Text(dx, IDC_CURRENT_FRAME, m_currentFrame);
    DDX_Text(dx, IDC_SPEED, theScene->modelFile.speed);
}

BOOL CMyPropertyPage3::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    if (auto* box = DlgItem<QCheckBox>(IDC_APPLY_OFFSET_Y))
        box->setChecked(theRenderSettings->applyOffsetY != 0);
    m_normalSlider.SetRange(0, kNormalSliderMax);
    m_normalSlider.SetTicFreq(kNormalSliderTicks);
    m_speedSlider.SetRange(0, MAX_SPEED);
    m_speedSlider.SetTicFreq(kSpeedSliderTicks);
    SetUpBlockList();
    m_buttonBack.AutoLoad(IDC_BUTTON_BACK, *this);
    m_buttonPlay.AutoLoad(IDC_BUTTON_PLAY, *this);
    m_buttonStop.AutoLoad(IDC_BUTTON_STOP, *this);
    m_buttonAhead.AutoLoad(IDC_BUTTON_AHEAD, *this);
    WatchMousePresses();
    return TRUE;
}

void CMyPropertyPage3::SetUpBlockList() {
    if (!m_blockList.IsAttached())
        return;
    m_blockList.SetExtendedStyle(m_blockList.GetExtendedStyle() | kBlockListStyle);
    m_blockList.DeleteAllItems();
    m_blockList.InsertColumn(0, "구 분", LVCFMT_CENTER, kNameColumnWidth);
    m_blockList.InsertColumn(1, "st_F.", LVCFMT_CENTER, kFirstFrameColumnWidth);
    // The list's inside, without its border; the window is not laid out yet, so not the viewport.
    const int clientWidth = m_blockList.Widget()->contentsRect().width();
    m_blockList.InsertColumn(2, "Frame", LVCFMT_CENTER, clientWidth - kFixedColumnsWidth);
}

void CMyPropertyPage3::WatchMousePresses() {
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

bool CMyPropertyPage3::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        m_pressTime = clock();
    return CPropertyPage::eventFilter(watched, event);
}

void CMyPropertyPage3::UpdateModelInfo() {
    if (!IsCreated())
        return;
    const MD2Model* model = CurrentModel();
    m_triangleCount = model ? model->triangleCount : 0;
    m_blockCount = UsableBlockCount(model);
    m_currentBlock = 0;
    m_normalSlider.SetPos(theRenderSettings->normalLength);
    m_speedSlider.SetPos(theScene->modelFile.speed);
    UpdateData(FALSE);

    FillBlockList();
    if (m_blockList.GetItemCount() == 0) {
        // Nothing to play: the block fields stay at 0.
        m_firstFrame = m_lastFrame = m_currentFrame = 0;
        m_frameSlider.SetRange(0, 0);
        UpdateData(FALSE);
        return;
    }
    m_blockList.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED | LVIS_FOCUSED);
    m_blockList.EnsureVisible(0, FALSE);
    m_blockList.SetFocus();
    SelectBlock(0);
}

void CMyPropertyPage3::FillBlockList() {
    m_blockList.DeleteAllItems();
    const MD2Model* model = CurrentModel();
    for (int i = 0; i < m_blockCount; ++i) {
        const int first = model->blockStarts[static_cast<std::size_t>(i)];
        char name[MD2_FRAME_NAME_SIZE + 1];
        int last = first;
        model->FrameName(name, last);
        const int item = m_blockList.InsertItem(i, name);
        m_blockList.SetItemText(item, 1, Decimal(first).c_str());
        m_blockList.SetItemText(item, 2, Decimal(last - first + 1).c_str());
    }
}

void CMyPropertyPage3::SelectBlock(int block) {
    MD2Model* model = CurrentModel();
    if (!IsCreated() || !model || block < 0 || block >= UsableBlockCount(model))
        return;
    m_firstFrame = model->blockStarts[static_cast<std::size_t>(block)];
    m_lastFrame = BlockLastFrame(*model, m_firstFrame);
    m_frameSlider.SetRange(m_firstFrame, m_lastFrame);
    m_frameSlider.SetTicFreq(kFrameSliderTicks);
    model->currentFrame = m_lastFrame;
    model->selectedBlock = block;
    m_currentBlock = block;
    // Shown at once, so that a slider moved before the next picture does not read a stale frame.
    m_currentFrame = m_lastFrame;
    m_frameSlider.SetPos(m_lastFrame);
    UpdateData(FALSE);
}

BOOL CMyPropertyPage3::UpdateFrame() {
    if (!IsCreated())
        return FALSE;
    if (const MD2Model* model = CurrentModel()) {
        m_currentFrame = model->currentFrame;
        m_frameSlider.SetPos(model->currentFrame);
    }
    return UpdateData(FALSE);
}

void CMyPropertyPage3::SetShowNormals(int show) {
    m_showNormals = show ? 1 : 0;
    UpdateData(FALSE);
}

void CMyPropertyPage3::OnHScroll(UINT code, UINT position, QSlider* slider) {
    m_normalLength = m_normalSlider.GetPos();
    theRenderSettings->normalLength = m_normalLength;
    SetAnimationSpeed(theScene->modelFile, *theRenderSettings, m_speedSlider.GetPos());
    if (MD2Model* model = CurrentModel(); model && m_frameSlider.GetPos() != model->currentFrame) {
        model->currentFrame = m_frameSlider.GetPos();
        model->animationMode = ANIMATION_STOPPED;
    }
    UpdateData(FALSE);
    CPropertyPage::OnHScroll(code, position, slider);
}

void CMyPropertyPage3::OnSpeedEdited() {
    if (!UpdateData(TRUE))
        return;
    ModelFile& record = theScene->modelFile;
    SetAnimationSpeed(record, *theRenderSettings, record.speed);
    m_speedSlider.SetPos(record.speed);
}

void CMyPropertyPage3::OnBlockListClick(int item) {
    // Only a click on a row chooses a block; keyboard moves in the list do not.
    if (item != -1)
        SelectBlock(item);
}

void CMyPropertyPage3::OnPlayButton(int id) {
    const auto held = static_cast<std::int32_t>(clock() - m_pressTime);
    const bool longPress = held >= PLAY_BUTTON_HOLD_MS;
    std::int32_t mode = ANIMATION_STOPPED;
    switch (id) {
    case IDC_BUTTON_BACK:
        mode = longPress ? ANIMATION_PLAY_BACKWARD : ANIMATION_STEP_BACKWARD;
        break;
    case IDC_BUTTON_PLAY:
        mode = ANIMATION_PLAY_FORWARD;
        break;
    case IDC_BUTTON_AHEAD:
        mode = longPress ? ANIMATION_PLAY_FORWARD_BUTTON : ANIMATION_STEP_FORWARD;
        break;
    default:
        break;
    }
    if (MD2Model* model = CurrentModel())
        model->animationMode = mode;
    m_pressTime = clock();
}
