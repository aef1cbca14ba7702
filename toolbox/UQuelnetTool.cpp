#include "toolbox/UQuelnetTool.h"

#include "panel/UVQuelnet.h"

namespace quelnet {

TfmQuelnetTool::TfmQuelnetTool(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName("fmQuelnetTool");
    setWindowTitle("Narzędzia");
    setFont(QFont("Tahoma", 8));
    setWindowOpacity(240.0 / 255.0);
    setFixedSize(PaletteClientWidth, ClientHeight);
    move(0, 0);
}

TfmQuelnetTool::~TfmQuelnetTool() = default;

void TfmQuelnetTool::ShowPalette() { setFixedSize(PaletteClientWidth, ClientHeight); }

void TfmQuelnetTool::ShowParams(int, int) { setFixedSize(ParamsClientWidth, ClientHeight); }

} // namespace quelnet
