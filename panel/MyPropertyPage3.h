#pragma once
// The control panel's model page, "option_MD2": the model's facts and the animation controls.
// Every change the user makes goes at once into the render settings, the scene's speed and the
// current model.

#include <functional>

#include "panel/ButtonBitmaps.h"
#include "platform/ui/Controls.h"
#include "platform/ui/PropertySheet.h"

// Held at least this long, the B and A buttons play instead of stepping once.
constexpr int PLAY_BUTTON_HOLD_MS = 200;

class CMyPropertyPage3 : public CPropertyPage {
public:
    CMyPropertyPage3();

    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnHScroll(UINT code, UINT position, QSlider* slider) override;

    // Reloads what the page shows about the scene's model; called after each load dialog.
    void UpdateModelInfo();
    // Shows the model's current frame; called for every picture, so it touches only what changed.
    BOOL UpdateFrame();
    // The "Normal Vector 표시 여부" command tells the page the new state.
    void SetShowNormals(int show);
    // Makes block `block` the one the model plays, starting on its last frame.
    void SelectBlock(int block);

    // The millisecond clock the press length of the play buttons is measured with.
    std::function<DWORD()> clock;

    CBitmapButton m_buttonBack;
    CBitmapButton m_buttonPlay;
    CBitmapButton m_buttonAhead;
    CBitmapButton m_buttonStop;
    DWORD m_pressTime = 0;
    CSliderCtrl m_frameSlider;
    CListCtrl m_blockList;
    CSliderCtrl m_normalSlider;
    int m_normalLength = 0;
    int m_showNormals = 0;
    CSliderCtrl m_speedSlider;
    int m_blockCount = 0;
    int m_currentBlock = 0;
    int m_triangleCount = 0;
    int m_firstFrame = 0;
    int m_lastFrame = 0;
    int m_currentFrame = 0;

protected:
    // Notes when the left mouse button goes down anywhere on the page (the press time).
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetUpBlockList();
    void FillBlockList();
    void WatchMousePresses();
    void OnPlayButton(int id);
    void OnSpeedEdited();
    void OnBlockListClick(int item);
};
