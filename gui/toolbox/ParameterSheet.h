#pragma once
// The parameter sheet of the toolbox's second page: the heading and the
// two-column grid of the element being edited. Every change of a value is
// written at once into the element's record in the panel window; nothing is
// validated, and nothing is refreshed until the sheet is filled again.

#include "core/panel/SheetRows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <vector>

class QLabel;
class QTableWidget;

namespace quelnet {

class SheetCell;

class ParameterSheet : public QWidget {
    Q_OBJECT
public:
    explicit ParameterSheet(QWidget* parent = nullptr);
    ~ParameterSheet() override;

    // The records of the panel being edited (owned by the panel window,
    // which lives as long as the toolbox).
    void SetRecords(ElementRecords* records);
    // The choice texts (click modes, connection points, orientations, yes/no).
    void SetChoices(const ChoiceTexts& choices) { m_choices = choices; }

    // Rebuilds the rows for the element of `elemType` in slot `elemIdx`;
    // a kind outside 0-4 leaves the sheet empty.
    void Fill(int elemType, int elemIdx);

    int EditType() const { return m_editType; }
    int EditIdx() const { return m_editIdx; }

    // Rows are numbered from 1, as in the row tables.
    int RowCount() const;
    QString RowName(int row) const;
    QString RowValue(int row) const;
    SheetCell* Cell(int row) const;

    // Closes an open picker as if it had lost the focus: its value is stored.
    void FinishPickers();

    // The open pickers, null when closed.
    QComboBox* ColorBox() const { return m_colorBox; }
    QCheckBox* CheckBox() const { return m_checkBox; }

    static constexpr int NameColumnWidth = 208;

signals:
    // The user finished with a row's value (typed and left, picked, chosen in
    // a picker), or began on another row: what the record holds now is one
    // change. Sent more often than that does no harm.
    void RowEditEnded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // "StaticText2" above the name/value grid "ValueListEditor1".
    QLabel* m_heading = nullptr;
    QTableWidget* m_grid = nullptr;

    void GridStringsChange(int row, const QString& text);
    void GridEditButtonClick(int row);
    void OpenColorBox(int row);
    void OpenCheckBox(int row);
    void ColorBoxExit();
    void CheckBoxExit();
    QRect ValueCellRect(int row) const;

    ElementRecords* m_records = nullptr;
    ChoiceTexts m_choices;
    std::uint8_t m_editType = 0;
    int m_editIdx = 0;
    bool m_attached = true; // the change handler stores values
    int m_lastRow = 0;      // the row whose value changed last

    QPointer<QComboBox> m_colorBox;
    int m_colorRow = 0;
    QPointer<QWidget> Panel; // host of the yes/no check box
    QPointer<QCheckBox> m_checkBox;
    int m_checkRow = 0;
};

} // namespace quelnet
