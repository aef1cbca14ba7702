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

QIcon swatch(TColor color) {
    QPixmap pixmap(16, 12);
    pixmap.fill(ColorFromTColor(color));
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

    StaticText2 = new QLabel(QStringLiteral("Kliknij element do edycji"), this);
    StaticText2->setObjectName("StaticText2");
    StaticText2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StaticText2->setFixedHeight(17);
    layout->addWidget(StaticText2);

    ValueListEditor1 = new QTableWidget(0, 2, this);
    ValueListEditor1->setObjectName("ValueListEditor1");
    ValueListEditor1->setHorizontalHeaderLabels({QStringLiteral("Parametr"), QStringLiteral("Wartość")});
    ValueListEditor1->verticalHeader()->hide();
    ValueListEditor1->verticalHeader()->setMinimumSectionSize(18);
    ValueListEditor1->verticalHeader()->setDefaultSectionSize(20);
    ValueListEditor1->setWordWrap(false);
    ValueListEditor1->setShowGrid(true);
    ValueListEditor1->setSelectionMode(QAbstractItemView::SingleSelection);
    ValueListEditor1->setEditTriggers(QAbstractItemView::NoEditTriggers); // values live in the cell widgets
    ValueListEditor1->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Interactive);
    ValueListEditor1->horizontalHeader()->setStretchLastSection(true);
    ValueListEditor1->setColumnWidth(0, NameColumnWidth);
    layout->addWidget(ValueListEditor1);
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
    ValueListEditor1->setRowCount(0);
    m_editType = IsElementKind(elemType) ? std::uint8_t(elemType) : std::uint8_t(KindNone);
    m_editIdx = elemIdx;
    StaticText2->setText(headingOf(m_editType));

    std::vector<SheetRow> rows;
    if (m_records && IsElementKind(m_editType)) {
        const QStringList fonts = m_editType == KindText ? QFontDatabase::families() : QStringList();
        rows = BuildRows(*m_records, m_editType, m_editIdx, m_choices, fonts);
    }
    ValueListEditor1->setRowCount(int(rows.size()));
    for (int i = 0; i < int(rows.size()); ++i) {
        const SheetRow& r = rows[std::size_t(i)];
        auto* name = new QTableWidgetItem(r.Name);
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        name->setToolTip(r.Name); // long names are cut in the 208-pixel column
        ValueListEditor1->setItem(i, 0, name);
        auto* cell = new SheetCell(r.Style, r.Choices, r.Value);
        const int row = i + 1;
        connect(cell, &SheetCell::Changed, this,
                [this, row](const QString& text) { ValueListEditor1StringsChange(row, text); });
        connect(cell, &SheetCell::PickClicked, this, [this, row] { ValueListEditor1EditButtonClick(row); });
        ValueListEditor1->setCellWidget(i, 1, cell);
    }
    m_attached = true;
}

int ParameterSheet::RowCount() const {
    return ValueListEditor1->rowCount();
}

QString ParameterSheet::RowName(int row) const {
    const QTableWidgetItem* item = ValueListEditor1->item(row - 1, 0);
    return item ? item->text() : QString();
}

QString ParameterSheet::RowValue(int row) const {
    const SheetCell* cell = Cell(row);
    return cell ? cell->Text() : QString();
}

SheetCell* ParameterSheet::Cell(int row) const {
    return qobject_cast<SheetCell*>(ValueListEditor1->cellWidget(row - 1, 1));
}

void ParameterSheet::ValueListEditor1StringsChange(int row, const QString& text) {
    if (!m_attached || !m_records)
        return;
    StoreRow(*m_records, m_editType, m_editIdx, row, text, m_choices);
}

void ParameterSheet::ValueListEditor1EditButtonClick(int row) {
    SheetCell* cell = Cell(row);
    if (!cell)
        return;
    FinishPickers(); // one picker at a time
    ValueListEditor1->setCurrentCell(row - 1, 1);
    switch (cell->Style()) {
    case EditStyle::PickPicture: {
        const auto chosen = PictureDialog()(ValueListEditor1, cell->Text(), PictureFileFilter());
        if (chosen)
            cell->SetText(*chosen); // stored by the change handler like a typed value
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
    return ValueListEditor1->visualRect(ValueListEditor1->model()->index(row - 1, 1));
}

void ParameterSheet::OpenColorBox(int row) {
    auto* box = new QComboBox(ValueListEditor1->viewport());
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
    auto* panel = new QWidget(ValueListEditor1->viewport());
    panel->setGeometry(ValueCellRect(row));
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, ValueListEditor1->palette().color(QPalette::Base));
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
