#pragma once
// The control panel over fresh render settings and a fresh scene, shown without a display. The
// scene's model has two blocks: stand (frames 0 to 2) and run (frames 3 and 4).

#include <QApplication>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "model/MD2TestModels.h"
#include "panel/MyPropertySheet.h"
#include "platform/ui/WindowStyles.h"
#include "resources/Resource.h"
#include "support/MessageRecorder.h"
#include "support/SettingsScope.h"
#include "support/TempDir.h"

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        theScene->modelFile.speed = 30;
        LoadModel({"stand01", "stand02", "stand03", "run01", "run02"});
        sheet = std::make_unique<CMyPropertySheet>();
        sheet->Create(nullptr, WS_POPUP | WS_CAPTION, 0);
        sheet->show();
        sheet->SetActivePage(1);
        page3().clock = [this] { return now; };
    }

    void TearDown() override { sheet.reset(); }

    void LoadModel(const std::vector<std::string>& frameNames) {
        theScene->model = std::make_unique<MD2Model>();
        ASSERT_EQ(ReadModelBytes(*theScene->model, dir.File("m.md2"), WriteMD2(MakeTestModel(frameNames))),
                  S_OK);
    }

    CMyPropertyPage1& page1() { return sheet->page1; }
    CMyPropertyPage3& page3() { return sheet->page3; }
    MD2Model& model() { return *theScene->model; }
    RenderSettings& settings() { return *theRenderSettings; }
    template <typename Page> QString Text(Page& page, int id) {
        return page.template DlgItem<QLineEdit>(id)->text();
    }
    // Selects the whole text of an edit and types `keys` over it, one key at a time.
    template <typename Page> void TypeOver(Page& page, int id, const char* keys) {
        auto* edit = page.template DlgItem<QLineEdit>(id);
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromLatin1(keys));
    }
    // Moves a slider as the user would: the page hears of it.
    template <typename Page> void MoveSlider(Page& page, int id, int position) {
        page.template DlgItem<QSlider>(id)->setValue(position);
    }

    SettingsScope scope;
    TempDir dir;
    MessageRecorder messages;
    std::unique_ptr<CMyPropertySheet> sheet;
    DWORD now = 1000;
};
