#include "gui/toolbox/ParameterSheet.h"

#include "core/base/InterfaceTexts.h"
#include "gui/toolbox/ColorChoices.h"
#include "gui/toolbox/PictureDialog.h"
#include "gui/toolbox/SheetCell.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quelnet {

namespace {

QString headingOf(int kind) {
    switch (kind) {
    case KindButton:
        return Pl(lt::EditingButton);
    case KindDSign:
        return Pl(lt::EditingDSign);
    case KindASign:
        return Pl(lt::EditingASign);
    case KindText:
        return Pl(lt::EditingText);
    case KindTrack:
        return Pl(lt::EditingTrack);
    default:
        return Pl(lt::PickElement);
    }
}

// A colour as the panel shows it: system colours from the same table and the
// same (the application's) palette the label views use.
QIcon swatch(TColor color) {
    QPixmap pixmap(16, 12);
    pixmap.fill(ColorFromTColor(color, QApplication::palette()));
    return QIcon(pixmap);
}

// True when the focus now rests on the picker or on something it owns, such
// as the colour box's list: a child of the box in a popup window of its own,
// which takes the focus when a mouse press opens it.
bool focusWithin(const QObject* picker) {
    for (const QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
        if (w == picker)
            return true;
    return false;
}

// Focus that leaves for a popup (the box's own list) or another window stays
// within the picker as far as the sheet is concerned.
bool leavesPicker(const QObject* picker, const QEvent* event) {
    if (event->type() != QEvent::FocusOut)
        return false;
    const auto reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && !focusWithin(picker);
}

} // namespace

ParameterSheet::ParameterSheet(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_heading = new QLabel(QStringLiteral("Kliknij element do edycji"), this);
    m_heading->setObjectName("StaticText2");
    m_heading->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_heading->setFixedHeight(17);
    layout->addWidget(m_heading);

    m_grid = new QTableWidget(0, 2, this);
    m_grid->setObjectName("ValueListEditor1");
    m_grid->setHorizontalHeaderLabels({QStringLiteral("Parametr"), QStringLiteral("Wartość")});
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setMinimumSectionSize(18);
    m_grid->verticalHeader()->setDefaultSectionSize(20);
    m_grid->setWordWrap(false);
    m_grid->setShowGrid(true);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers); // values live in the cell widgets
    m_grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Interactive);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->setColumnWidth(0, NameColumnWidth);
    layout->addWidget(m_grid);
}

ParameterSheet::~ParameterSheet() {
    // No picker may store anything while the window is torn down.
    if (m_colorBox)
        m_colorBox->removeEventFilter(this);
    if (m_checkBox)
        m_checkBox->removeEventFilter(this);
}

void ParameterSheet::SetRecords(ElementRecords* records) {
    m_records = records;
}

void ParameterSheet::Fill(int elemType, int elemIdx) {
    FinishPickers();
    m_attached = false;
    m_grid->setRowCount(0);
    m_editType = IsElementKind(elemType) ? std::uint8_t(elemType) : std::uint8_t(KindNone);
    m_editIdx = elemIdx;
    m_lastRow = 0;
    m_heading->setText(headingOf(m_editType));

    std::vector<SheetRow> rows;
    if (m_records && IsElementKind(m_editType)) {
        const QStringList fonts = m_editType == KindText ? QFontDatabase::families() : QStringList();
        rows = BuildRows(*m_records, m_editType, m_editIdx, m_choices, fonts);
    }
    m_grid->setRowCount(int(rows.size()));
    for (int i = 0; i < int(rows.size()); ++i) {
        const SheetRow& r = rows[std::size_t(i)];
        auto* name = new QTableWidgetItem(r.Name);
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        name->setToolTip(r.Name); // long names are cut in the 208-pixel column
        m_grid->setItem(i, 0, name);
        auto* cell = new SheetCell(r.Style, r.Choices, r.Value);
        const int row = i + 1;
        connect(cell, &SheetCell::Changed, this,
                [this, row](const QString& text) { GridStringsChange(row, text); });
        connect(cell, &SheetCell::PickClicked, this, [this, row] { GridEditButtonClick(row); });
        connect(cell, &SheetCell::EditEnded, this, &ParameterSheet::RowEditEnded);
        m_grid->setCellWidget(i, 1, cell);
    }
    m_attached = true;
}

int ParameterSheet::RowCount() const {
    return m_grid->rowCount();
}

QString ParameterSheet::RowName(int row) const {
    const QTableWidgetItem* item = m_grid->item(row - 1, 0);
    return item ? item->text() : QString();
}

QString ParameterSheet::RowValue(int row) const {
    const SheetCell* cell = Cell(row);
    return cell ? cell->Text() : QString();
}

SheetCell* ParameterSheet::Cell(int row) const {
    return qobject_cast<SheetCell*>(m_grid->cellWidget(row - 1, 1));
}

void ParameterSheet::GridStringsChange(int row, const QString& text) {
    if (!m_attached || !m_records)
        return;
    if (m_lastRow != 0 && row != m_lastRow)
        emit RowEditEnded();
    m_lastRow = row;
    StoreRow(*m_records, m_editType, m_editIdx, row, text, m_choices);
}

void ParameterSheet::GridEditButtonClick(int row) {
    SheetCell* cell = Cell(row);
    if (!cell)
        return;
    FinishPickers(); // one picker at a time
    m_grid->setCurrentCell(row - 1, 1);
    switch (cell->Style()) {
    case EditStyle::PickPicture: {
        const auto chosen = PictureDialog()(m_grid, cell->Text(), PictureFileFilter());
        if (chosen) {
            cell->SetText(*chosen); // stored by the change handler like a typed value
            emit RowEditEnded();
        }
        break;
    }
    case EditStyle::PickColor:
        OpenColorBox(row);
        break;
    case EditStyle::PickYesNo:
        OpenCheckBox(row);
        break;
    default:
        break;
    }
}

QRect ParameterSheet::ValueCellRect(int row) const {
    return m_grid->visualRect(m_grid->model()->index(row - 1, 1));
}

void ParameterSheet::OpenColorBox(int row) {
    auto* box = new QComboBox(m_grid->viewport());
    box->hide();
    box->setGeometry(ValueCellRect(row));
    for (const NamedColor& c : ColorChoices())
        box->addItem(swatch(c.Value), c.Name, QVariant::fromValue(c.Value));
    const auto current = static_cast<TColor>(TextToInt64(RowValue(row)));
    int selected = -1;
    for (int i = 0; i < box->count() && selected < 0; ++i)
        if (box->itemData(i).value<TColor>() == current)
            selected = i;
    box->setCurrentIndex(selected);
    m_colorBox = box;
    m_colorRow = row;
    box->show();
    box->raise();
    box->installEventFilter(this);
    box->setFocus(Qt::OtherFocusReason);
}

void ParameterSheet::OpenCheckBox(int row) {
    auto* panel = new QWidget(m_grid->viewport());
    panel->setGeometry(ValueCellRect(row));
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, m_grid->palette().color(QPalette::Base));
    panel->setPalette(pal);
    panel->show();
    panel->raise();
    Panel = panel;

    auto* check = new QCheckBox(RowName(row), panel);
    check->setGeometry(4, 0, panel->width() - 4, panel->height());
    check->setChecked(TextToBool(RowValue(row)));
    m_checkBox = check;
    m_checkRow = row;
    check->show();
    check->installEventFilter(this);
    check->setFocus(Qt::OtherFocusReason);
}

void ParameterSheet::ColorBoxExit() {
    QComboBox* box = m_colorBox;
    if (!box)
        return;
    box->removeEventFilter(this);
    // No entry selected: the box reports the system-colour flag with index 0.
    const TColor color = box->currentIndex() >= 0 ? box->currentData().value<TColor>() : SystemColorFlag;
    if (SheetCell* cell = Cell(m_colorRow))
        cell->SetText(ColorToText(color));
    if (m_records)
        StoreFontColor(*m_records, m_editIdx, color);
    emit RowEditEnded();
    m_colorBox = nullptr;
    box->hide();
    box->deleteLater();
}

void ParameterSheet::CheckBoxExit() {
    QCheckBox* check = m_checkBox;
    if (!check)
        return;
    check->removeEventFilter(this);
    const bool on = check->isChecked();
    if (SheetCell* cell = Cell(m_checkRow))
        cell->SetText(BoolToText(on));
    if (m_records)
        StoreFontFlag(*m_records, m_editIdx, m_checkRow, on);
    emit RowEditEnded();
    m_checkBox = nullptr;
    check->hide();
    check->deleteLater();
    if (Panel) {
        QWidget* panel = Panel;
        Panel = nullptr;
        panel->hide();
        panel->deleteLater();
    }
}

void ParameterSheet::FinishPickers() {
    ColorBoxExit();
    CheckBoxExit();
}

bool ParameterSheet::eventFilter(QObject* watched, QEvent* event) {
    if (leavesPicker(watched, event)) {
        if (watched == m_colorBox)
            ColorBoxExit();
        else if (watched == m_checkBox)
            CheckBoxExit();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace quelnet
