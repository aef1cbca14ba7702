#include "gui/toolbox/ToolboxWindow.h"

#include "gui/common/WindowFrame.h"
#include "gui/toolbox/PaletteList.h"
#include "gui/toolbox/ParameterSheet.h"

#include <QLabel>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

// The palette icons live in a resource of this static library; register them
// explicitly since nothing else references the resource's object file.
static void initToolboxResources() {
    Q_INIT_RESOURCE(toolbox);
}

namespace quelnet {

TfmQuelnetTool::TfmQuelnetTool(QWidget* parent)
    : QWidget(parent, FixedDialogFlags(Qt::Tool) | Qt::WindowStaysOnTopHint) {
    initToolboxResources();
    setObjectName("fmQuelnetTool");
    setWindowTitle(QStringLiteral("Narzędzia"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setWindowOpacity(240.0 / 255.0);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName("PageControl1");
    layout->addWidget(m_pages);

    m_palettePage = new QWidget;
    m_palettePage->setObjectName("TabSheet1");
    m_paletteHint = new QLabel(QStringLiteral(" Przeciągaj elementy z palety"), m_palettePage);
    m_paletteHint->setObjectName("StaticText1");
    m_paletteHint->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_paletteHint->setWordWrap(true);
    m_paletteHint->setGeometry(8, 0, 145, 33);
    m_palette = new PaletteList(m_palettePage);
    m_palette->setObjectName("ListView1");
    m_palette->setGeometry(8, 36, 145, 321);
    m_pages->addTab(m_palettePage, QStringLiteral("Przybornik"));

    m_parametersPage = new QWidget;
    m_parametersPage->setObjectName("TabSheet2");
    auto* sheetLayout = new QVBoxLayout(m_parametersPage);
    sheetLayout->setContentsMargins(0, 0, 0, 0);
    m_sheet = new ParameterSheet(m_parametersPage);
    m_sheet->setObjectName("ParameterSheet");
    sheetLayout->addWidget(m_sheet);
    m_pages->addTab(m_parametersPage, QStringLiteral("Parametry"));

    connect(m_sheet, &ParameterSheet::RowEditEnded, this, &TfmQuelnetTool::SheetRowEnded);
    connect(m_palette, &PaletteList::DragStarting, this, &TfmQuelnetTool::PaletteStartDrag);
    connect(m_pages, &QTabWidget::currentChanged, this, [this](int page) {
        if (!m_pageFromCode)
            PagesChange(page);
    });

    SetClientWidth(PaletteClientWidth);
    move(0, 0);
    m_framing = new FramedPlacement(this);
    FormCreate();
}

TfmQuelnetTool::~TfmQuelnetTool() {
    // The sheet ends its open row when it loses the focus, which happens while
    // QWidget's destructor hides the window: by then this object is no longer
    // a TfmQuelnetTool, so no signal of the sheet may reach it.
    disconnect(m_sheet, nullptr, this, nullptr);
}

void TfmQuelnetTool::SetRecords(ElementRecords* records) {
    m_sheet->SetRecords(records);
}

bool TfmQuelnetTool::IsPalette(const QObject* source) {
    return IsPaletteSource(source);
}

void TfmQuelnetTool::FormCreate() {
    m_sheet->SetChoices(ChoiceTexts::FromTextTable());
}

void TfmQuelnetTool::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    // The editor sets the page width right after showing the window (ShowParams).
    // A window manager that has not framed the window yet then places its client
    // area where the frame belongs, the title bar off the screen at (0, 0); the
    // frame is put in its place again once the window is framed.
    const QPoint place = pos();
    m_framing->WhenFramed([this, place] { MoveOuterTo(this, place); });
    FormShow();
}

void TfmQuelnetTool::FormShow() {
    m_palette->Rebuild();
}

void TfmQuelnetTool::PaletteStartDrag(int selectedIndex) {
    ObjectType = selectedIndex;
}

void TfmQuelnetTool::PagesChange(int page) {
    SetClientWidth(page == 1 ? ParamsClientWidth : PaletteClientWidth);
}

void TfmQuelnetTool::SetClientWidth(int width) {
    setFixedSize(width, ClientHeight);
}

void TfmQuelnetTool::ShowPalette() {
    m_pageFromCode = true;
    m_pages->setCurrentIndex(0);
    m_pageFromCode = false;
    SetClientWidth(PaletteClientWidth);
}

void TfmQuelnetTool::FinishPickers() {
    m_sheet->FinishPickers();
}

void TfmQuelnetTool::ShowParams(int ElemType, int ElemIdx) {
    m_pageFromCode = true;
    m_pages->setCurrentIndex(1);
    m_pageFromCode = false;
    SetClientWidth(ParamsClientWidth);
    m_sheet->Fill(ElemType, ElemIdx);
}

} // namespace quelnet
