#pragma once
// TfmQuelnetTool: the editor's toolbox window, with the palette of element
// kinds ("Przybornik") and the parameter sheet of the element being edited
// ("Parametry").

#include <QWidget>

namespace quelnet {

class TfmVQuelnet;

class TfmQuelnetTool : public QWidget {
    Q_OBJECT
public:
    explicit TfmQuelnetTool(QWidget* parent = nullptr);
    ~TfmQuelnetTool() override;

    void SetPanel(TfmVQuelnet* panel) { m_panel = panel; }

    // Palette item index recorded when a drag starts (-1: none selected).
    int ObjectType = -1;

    void ShowPalette();
    void ShowParams(int ElemType, int ElemIdx);

    static constexpr int PaletteClientWidth = 170;
    static constexpr int ParamsClientWidth = 380;
    static constexpr int ClientHeight = 392;

private:
    TfmVQuelnet* m_panel = nullptr;
};

} // namespace quelnet
