#pragma once
// TfmQuelnetTool: the editor's toolbox window, with the palette of element
// kinds ("Przybornik") and the parameter sheet of the element being edited
// ("Parametry").
//
// The panel window uses: ObjectType (read when a palette drag is dropped),
// ShowPalette(), ShowParams(kind, slot) / ShowParams(255, 0), show() and
// close(). A drag from the palette has PaletteMimeType and its source
// satisfies IsPalette() (see toolbox/PaletteList.h).

#include <QPointer>
#include <QWidget>

class QLabel;
class QTabWidget;

namespace quelnet {

class FramedPlacement;
class PaletteList;
class ParameterSheet;
struct ElementRecords;

class TfmQuelnetTool : public QWidget {
    Q_OBJECT
public:
    explicit TfmQuelnetTool(QWidget* parent = nullptr);
    ~TfmQuelnetTool() override;

    void SetRecords(ElementRecords* records);

    // Palette item index recorded when a drag starts (-1: none selected).
    int ObjectType = -1;

    // Palette page active, client width 170.
    void ShowPalette();
    // Parameter page active, client width 380, sheet filled for the element
    // of kind ElemType in slot ElemIdx (a kind outside 0-4 empties it).
    void ShowParams(int ElemType, int ElemIdx);
    // Stores and closes the sheet's open picker (colour box or yes/no check
    // box), whose value otherwise reaches the record only when it loses the
    // focus: called before the panel makes the edited element anew.
    void FinishPickers();

    // True when a drag's source is this program's palette list.
    static bool IsPalette(const QObject* source);

    static constexpr int PaletteClientWidth = 170;
    static constexpr int ParamsClientWidth = 380;
    static constexpr int ClientHeight = 392;

signals:
    // The parameter sheet's RowEditEnded: a row's change is complete.
    void SheetRowEnded();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void PaletteStartDrag(int selectedIndex);
    void PagesChange(int page);
    void SetClientWidth(int width);

    // Controls, found by their designed names in tests: "PageControl1" with
    // "TabSheet1" (palette) and "TabSheet2" (parameters), "StaticText1",
    // "ListView1", and the sheet "ParameterSheet".
    QTabWidget* m_pages = nullptr;
    QWidget* m_palettePage = nullptr;
    QWidget* m_parametersPage = nullptr;
    QLabel* m_paletteHint = nullptr;
    PaletteList* m_palette = nullptr;
    ParameterSheet* m_sheet = nullptr;
    bool m_pageFromCode = false; // page switches made by ShowPalette / ShowParams
    // Puts the frame at the window's place again once the window manager has framed it.
    FramedPlacement* m_framing = nullptr;
};

} // namespace quelnet
