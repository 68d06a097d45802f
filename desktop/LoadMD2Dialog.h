#pragma once
// The load dialog: the model file, its skin and the cartoon shading ramp, each typed or chosen
// with a file chooser. Run at start-up and by the load command over the view; on OK the choice
// goes into the scene's load parameters and the settings file, and the model is loaded again.

#include <QStringList>
#include <string>

#include "platform/ui/Dialog.h"

class CLumivoxView;
class CMyPropertyPage3;

// The choosers' filters: pairs of a description and its patterns, separated by '|'.
constexpr const char* MD2_FILE_FILTER = "MD2 file (*.md2)|*.md2||";
constexpr const char* TEXTURE_FILE_FILTER = "texture file (*.bmp), (*.jpg), (*.tga)|*.bmp;*.jpg;*.tga||";
constexpr const char* CARTOON_FILE_FILTER = "cartoon file (*.bmp), (*.jpg), (*.tga)|*.bmp;*.jpg;*.tga||";

constexpr int LOAD_DIALOG_X = 100;
constexpr int LOAD_DIALOG_Y = 150;

// The chooser's name filters for a '|'-separated filter string. Each pattern is offered in upper
// case too, so that files named on Windows (EX1.MD2) are listed.
QStringList FileChooserFilters(const char* filter);

class CLoadMD2Dialog : public CDialog {
public:
    explicit CLoadMD2Dialog(QWidget* parent = nullptr);

    void DoDataExchange(CDataExchange* dx) override;
    // Places the dialog at (100, 150) on the screen.
    BOOL OnInitDialog() override;
    // Refuses a path that does not fit the load parameters and keeps the dialog open.
    void OnOK() override;

    // Asks for a file to open in the working directory's data folder. 1 with the chosen file's
    // full path in `outPath`; 0 when the chooser was cancelled (`outPath` unchanged).
    virtual int ChooseFile(std::string& outPath, const char* filter);

    std::string m_strMD2file;
    std::string m_strTexture;
    std::string m_strCartoon;

private:
    void OnChoose(std::string& member, const char* filter);
    bool PathFits(int id, const std::string& path);
};

// Runs the load dialog over `view`, pre-filled from the settings file, which is read again first.
// On OK: stores the three paths, writes the settings file and loads the model with its textures.
// `modelPage` (when there is one) is refreshed after OK, and at start-up after Cancel too.
// Returns IDOK or IDCANCEL.
int RunLoadDialog(CLumivoxView& view, CMyPropertyPage3* modelPage, bool startup);

inline void OnStartupLoad(CLumivoxView& view, CMyPropertyPage3* modelPage) {
    RunLoadDialog(view, modelPage, true);
}

inline void OnLoadModel(CLumivoxView& view, CMyPropertyPage3* modelPage) {
    RunLoadDialog(view, modelPage, false);
}
