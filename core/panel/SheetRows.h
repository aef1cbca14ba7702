#pragma once
// The rows of the parameter sheet for each element kind: names, how a record
// field is shown, which edit style the row has and what a changed value does
// to the record. Plain data over ElementRecords; the sheet widget only shows
// these rows and hands typed values back to StoreRow.

#include "core/panel/ElementModel.h"

#include <QStringList>
#include <vector>

namespace quelnet {

enum class EditStyle {
    Text,        // typed freely
    List,        // drop-down suggestions, any text may be typed
    FixedList,   // drop-down, only its entries can be chosen
    PickPicture, // typed, or chosen with the picture file dialog
    PickColor,   // typed (shown only), or chosen with the colour box
    PickYesNo,   // typed (shown only), or chosen with the check box
};

// Choice texts, index = stored number. Filled once from the text table.
struct ChoiceTexts {
    QStringList O_MODE; // click mode: off, on, toggle
    QStringList I_CONN; // connection point: input, output
    QStringList Z_POSS; // slider orientation: horizontal, vertical
    QStringList Z_MODE; // slider reversal: no, yes
    static ChoiceTexts FromTextTable();
};

struct SheetRow {
    QString Name;
    QString Value;
    EditStyle Style = EditStyle::Text;
    QStringList Choices; // entries of a List or FixedList row
};

// The 16 font sizes of the label's size row.
QStringList FontSizeChoices();

// Rows of the element of `kind` in slot `idx`, values formatted from its record.
// Lists from a scan are taken anew; with an empty scan the row is a text row.
// No rows for a kind outside 0-4 or a slot outside its record array.
std::vector<SheetRow> BuildRows(const ElementRecords& records, int kind, int idx, const ChoiceTexts& choices,
                                const QStringList& fontNames);

// What a changed value of row `row` (1-based) does: stores it into record
// `idx` of `kind` by the row's rule. Rows without a rule, picker-only rows
// (label rows 4-8) and a kind or slot out of range change nothing.
void StoreRow(ElementRecords& records, int kind, int idx, int row, const QString& text,
              const ChoiceTexts& choices);

// The label pickers write their fields themselves.
void StoreFontColor(ElementRecords& records, int idx, TColor color);
// Row 5 bold, 6 italic, 7 underline, 8 strike-out.
void StoreFontFlag(ElementRecords& records, int idx, int row, bool on);

// Formats and readers of the sheet.
QString ChoiceText(const QStringList& entries, int index);         // beyond the list: the first entry
int TextToChoice(const QStringList& entries, const QString& text); // A-Z case ignored; 0 when none
QString BoolToText(bool value);                                    // "Tak" / "Nie"
bool TextToBool(const QString& text);                              // "Tak", A-Z case ignored
QString ColorToText(TColor color);                                 // "$" + 8 upper-case hex digits

} // namespace quelnet
