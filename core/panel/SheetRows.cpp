#include "core/panel/SheetRows.h"

#include "core/base/InterfaceTexts.h"
#include "core/panel/ValueScans.h"

#include <functional>

namespace quelnet {

namespace {

// Where a row's drop-down entries come from.
enum class Source {
    None,
    Hosts,
    Ports,
    Passs,
    DCirs,
    ACirs,
    Fress,
    ALevs,
    Mode,
    Conn,
    Orient,
    Reverse,
    Fonts,
    Sizes
};

template <typename Rec> struct RowSpec {
    QString name;
    EditStyle style;
    Source source;
    std::function<QString(const Rec&, const ChoiceTexts&)> format;
    std::function<void(Rec&, const QString&, const ChoiceTexts&)> store; // empty: a change does nothing
};

template <typename Rec> using Table = std::vector<RowSpec<Rec>>;

std::uint16_t textToWord(const QString& t) {
    return static_cast<std::uint16_t>(TextToInt64(t));
}
std::uint32_t textToCardinal(const QString& t) {
    return static_cast<std::uint32_t>(TextToInt64(t));
}
std::int32_t textToInteger(const QString& t) {
    return static_cast<std::int32_t>(TextToInt64(t));
}

// sStopVal = sStartVal + sSteps * sStepVal, kept by the slider rows. A result
// beyond single precision is stored as 0, as a typed one is.
void stepRule(TES_Track& r) {
    if (r.sSteps == 0)
        r.sSteps = 1;
    r.sStepVal = SingleOrZero((static_cast<long double>(r.sStopVal) - r.sStartVal) / r.sSteps);
}
void endRule(TES_Track& r) {
    r.sStopVal = SingleOrZero(static_cast<long double>(r.sSteps) * r.sStepVal + r.sStartVal);
}

// Host, port and password: the first three rows of every bound kind.
template <typename Rec> void addConnectionRows(Table<Rec>& t) {
    t.push_back({Pl(lt::RowHost), EditStyle::List, Source::Hosts,
                 [](const Rec& r, const ChoiceTexts&) { return r.sHost; },
                 [](Rec& r, const QString& v, const ChoiceTexts&) { r.sHost = v; }});
    t.push_back({Pl(lt::RowPort), EditStyle::List, Source::Ports,
                 [](const Rec& r, const ChoiceTexts&) { return QString::number(r.sPort); },
                 [](Rec& r, const QString& v, const ChoiceTexts&) { r.sPort = textToWord(v); }});
    t.push_back({Pl(lt::RowPass), EditStyle::List, Source::Passs,
                 [](const Rec& r, const ChoiceTexts&) { return r.sPass; },
                 [](Rec& r, const QString& v, const ChoiceTexts&) { r.sPass = v; }});
}

template <typename Rec> void addRefreshRow(Table<Rec>& t) {
    t.push_back({Pl(lt::RowRefresh), EditStyle::List, Source::Fress,
                 [](const Rec& r, const ChoiceTexts&) { return QString::number(r.sI_Refr); },
                 [](Rec& r, const QString& v, const ChoiceTexts&) { r.sI_Refr = textToCardinal(v); }});
}

// Rows 1-10 of buttons and digital indicators.
template <typename Rec> Table<Rec> digitalRows() {
    Table<Rec> t;
    addConnectionRows(t);
    t.push_back({Pl(lt::RowOutDCir), EditStyle::List, Source::DCirs,
                 [](const Rec& r, const ChoiceTexts&) { return r.sO_DCir; },
                 [](Rec& r, const QString& v, const ChoiceTexts&) { r.sO_DCir = v; }});
    t.push_back({Pl(lt::RowOutMode), EditStyle::FixedList, Source::Mode,
                 [](const Rec& r, const ChoiceTexts& c) { return ChoiceText(c.O_MODE, r.sO_Mode); },
                 [](Rec& r, const QString& v, const ChoiceTexts& c) {
                     r.sO_Mode = static_cast<std::uint8_t>(TextToChoice(c.O_MODE, v));
                 }});
    t.push_back({Pl(lt::RowInDCir), EditStyle::List, Source::DCirs,
                 [](const Rec& r, const ChoiceTexts&) { return r.sI_DCir; },
                 [](Rec& r, const QString& v, const ChoiceTexts&) { r.sI_DCir = v; }});
    t.push_back({Pl(lt::RowInConn), EditStyle::FixedList, Source::Conn,
                 [](const Rec& r, const ChoiceTexts& c) { return ChoiceText(c.I_CONN, r.sI_Conn); },
                 [](Rec& r, const QString& v, const ChoiceTexts& c) {
                     r.sI_Conn = static_cast<std::uint8_t>(TextToChoice(c.I_CONN, v));
                 }});
    t.push_back({Pl(lt::RowImgL), EditStyle::PickPicture, Source::None,
                 [](const Rec& r, const ChoiceTexts&) { return r.sI_ImgL; },
                 [](Rec& r, const QString& v, const ChoiceTexts&) { r.sI_ImgL = v; }});
    t.push_back({Pl(lt::RowImgH), EditStyle::PickPicture, Source::None,
                 [](const Rec& r, const ChoiceTexts&) { return r.sI_ImgH; },
                 [](Rec& r, const QString& v, const ChoiceTexts&) { r.sI_ImgH = v; }});
    addRefreshRow(t);
    return t;
}

Table<TES_Button> buttonRows() {
    Table<TES_Button> t = digitalRows<TES_Button>();
    t.push_back({Pl(lt::RowCaption), EditStyle::Text, Source::None,
                 [](const TES_Button& r, const ChoiceTexts&) { return r.sCaption; },
                 [](TES_Button& r, const QString& v, const ChoiceTexts&) { r.sCaption = v; }});
    return t;
}

Table<TES_ASign> analogRows() {
    Table<TES_ASign> t;
    addConnectionRows(t);
    t.push_back({Pl(lt::RowInACir), EditStyle::List, Source::ACirs,
                 [](const TES_ASign& r, const ChoiceTexts&) { return r.sI_ACir; },
                 [](TES_ASign& r, const QString& v, const ChoiceTexts&) { r.sI_ACir = v; }});
    t.push_back({Pl(lt::RowInConn), EditStyle::FixedList, Source::Conn,
                 [](const TES_ASign& r, const ChoiceTexts& c) { return ChoiceText(c.I_CONN, r.sI_Conn); },
                 [](TES_ASign& r, const QString& v, const ChoiceTexts& c) {
                     r.sI_Conn = static_cast<std::uint8_t>(TextToChoice(c.I_CONN, v));
                 }});
    t.push_back({Pl(lt::RowImgD), EditStyle::PickPicture, Source::None,
                 [](const TES_ASign& r, const ChoiceTexts&) { return r.sI_ImgD; },
                 [](TES_ASign& r, const QString& v, const ChoiceTexts&) { r.sI_ImgD = v; }});
    for (int n = 0; n < AnalogLevelCount; ++n) {
        const QString suffix = QStringLiteral(" ") + QString::number(n + 1);
        t.push_back(
            {Pl(lt::RowLevel) + suffix, EditStyle::List, Source::ALevs,
             [n](const TES_ASign& r, const ChoiceTexts&) { return RealToText(r.sI_Lev[n]); },
             [n](TES_ASign& r, const QString& v, const ChoiceTexts&) { r.sI_Lev[n] = TextToSingle(v); }});
        t.push_back({Pl(lt::RowLevelImg) + suffix, EditStyle::PickPicture, Source::None,
                     [n](const TES_ASign& r, const ChoiceTexts&) { return r.sI_Img[n]; },
                     [n](TES_ASign& r, const QString& v, const ChoiceTexts&) { r.sI_Img[n] = v; }});
    }
    addRefreshRow(t);
    return t;
}

Table<TES_Text> textRows() {
    Table<TES_Text> t;
    t.push_back({Pl(lt::RowText), EditStyle::Text, Source::None,
                 [](const TES_Text& r, const ChoiceTexts&) { return r.sText; },
                 [](TES_Text& r, const QString& v, const ChoiceTexts&) { r.sText = v; }});
    t.push_back({Pl(lt::RowFontName), EditStyle::FixedList, Source::Fonts,
                 [](const TES_Text& r, const ChoiceTexts&) { return r.sFontName; },
                 [](TES_Text& r, const QString& v, const ChoiceTexts&) { r.sFontName = v; }});
    t.push_back({Pl(lt::RowFontSize), EditStyle::List, Source::Sizes,
                 [](const TES_Text& r, const ChoiceTexts&) {
                     // 0 stands for the default height; the sheet shows the smallest size without storing it.
                     return r.sFontSize == 0 ? QStringLiteral("8") : QString::number(r.sFontSize);
                 },
                 [](TES_Text& r, const QString& v, const ChoiceTexts&) { r.sFontSize = textToInteger(v); }});
    // Rows 4-8: typing changes only what the sheet shows; the pickers write the record.
    t.push_back({Pl(lt::RowFontColor),
                 EditStyle::PickColor,
                 Source::None,
                 [](const TES_Text& r, const ChoiceTexts&) { return ColorToText(r.sFontColor); },
                 {}});
    t.push_back({Pl(lt::RowFontBold),
                 EditStyle::PickYesNo,
                 Source::None,
                 [](const TES_Text& r, const ChoiceTexts&) { return BoolToText(r.sFontBold); },
                 {}});
    t.push_back({Pl(lt::RowFontItalic),
                 EditStyle::PickYesNo,
                 Source::None,
                 [](const TES_Text& r, const ChoiceTexts&) { return BoolToText(r.sFontItalic); },
                 {}});
    t.push_back({Pl(lt::RowFontUnder),
                 EditStyle::PickYesNo,
                 Source::None,
                 [](const TES_Text& r, const ChoiceTexts&) { return BoolToText(r.sFontUnder); },
                 {}});
    t.push_back({Pl(lt::RowFontStrike),
                 EditStyle::PickYesNo,
                 Source::None,
                 [](const TES_Text& r, const ChoiceTexts&) { return BoolToText(r.sFontStrike); },
                 {}});
    return t;
}

Table<TES_Track> trackRows() {
    Table<TES_Track> t;
    addConnectionRows(t);
    t.push_back({Pl(lt::RowTrackACir), EditStyle::List, Source::ACirs,
                 [](const TES_Track& r, const ChoiceTexts&) { return r.sO_ACir; },
                 [](TES_Track& r, const QString& v, const ChoiceTexts&) { r.sO_ACir = v; }});
    t.push_back({Pl(lt::RowTrackOrient), EditStyle::FixedList, Source::Orient,
                 [](const TES_Track& r, const ChoiceTexts& c) { return ChoiceText(c.Z_POSS, r.sOrient); },
                 [](TES_Track& r, const QString& v, const ChoiceTexts& c) {
                     r.sOrient = static_cast<std::uint8_t>(TextToChoice(c.Z_POSS, v));
                 }});
    t.push_back({Pl(lt::RowTrackReverse), EditStyle::FixedList, Source::Reverse,
                 [](const TES_Track& r, const ChoiceTexts& c) { return ChoiceText(c.Z_MODE, r.sRevers); },
                 [](TES_Track& r, const QString& v, const ChoiceTexts& c) {
                     r.sRevers = static_cast<std::uint8_t>(TextToChoice(c.Z_MODE, v));
                 }});
    t.push_back({Pl(lt::RowTrackSteps), EditStyle::Text, Source::None,
                 [](const TES_Track& r, const ChoiceTexts&) { return QString::number(r.sSteps); },
                 [](TES_Track& r, const QString& v, const ChoiceTexts&) {
                     r.sSteps = textToInteger(v);
                     stepRule(r);
                 }});
    t.push_back({Pl(lt::RowTrackStart), EditStyle::Text, Source::None,
                 [](const TES_Track& r, const ChoiceTexts&) { return RealToText(r.sStartVal); },
                 [](TES_Track& r, const QString& v, const ChoiceTexts&) {
                     r.sStartVal = TextToSingle(v);
                     endRule(r);
                 }});
    t.push_back({Pl(lt::RowTrackStep), EditStyle::Text, Source::None,
                 [](const TES_Track& r, const ChoiceTexts&) { return RealToText(r.sStepVal); },
                 [](TES_Track& r, const QString& v, const ChoiceTexts&) {
                     r.sStepVal = TextToSingle(v);
                     endRule(r);
                 }});
    t.push_back({Pl(lt::RowTrackStop), EditStyle::Text, Source::None,
                 [](const TES_Track& r, const ChoiceTexts&) { return RealToText(r.sStopVal); },
                 [](TES_Track& r, const QString& v, const ChoiceTexts&) {
                     r.sStopVal = TextToSingle(v);
                     stepRule(r);
                 }});
    return t;
}

QStringList entriesOf(Source s, const ElementRecords& r, const ChoiceTexts& c, const QStringList& fonts) {
    switch (s) {
    case Source::None:
        return {};
    case Source::Hosts:
        return ScanHosts(r);
    case Source::Ports:
        return ScanPorts(r);
    case Source::Passs:
        return ScanPasss(r);
    case Source::DCirs:
        return ScanDCirs(r);
    case Source::ACirs:
        return ScanACirs(r);
    case Source::Fress:
        return ScanFress(r);
    case Source::ALevs:
        return ScanALevs(r);
    case Source::Mode:
        return c.O_MODE;
    case Source::Conn:
        return c.I_CONN;
    case Source::Orient:
        return c.Z_POSS;
    case Source::Reverse:
        return c.Z_MODE;
    case Source::Fonts:
        return fonts;
    case Source::Sizes:
        return FontSizeChoices();
    }
    return {};
}

template <typename Rec>
std::vector<SheetRow> build(const std::vector<Rec>& array, int idx, const Table<Rec>& table,
                            const ElementRecords& records, const ChoiceTexts& c, const QStringList& fonts) {
    std::vector<SheetRow> rows;
    if (idx < 0 || idx >= static_cast<int>(array.size()))
        return rows;
    const Rec& rec = array[static_cast<std::size_t>(idx)];
    for (const RowSpec<Rec>& rowDef : table) {
        SheetRow row{rowDef.name, rowDef.format(rec, c), rowDef.style,
                     entriesOf(rowDef.source, records, c, fonts)};
        // A suggestion list only when the scan found something.
        if (row.Style == EditStyle::List && row.Choices.isEmpty())
            row.Style = EditStyle::Text;
        rows.push_back(std::move(row));
    }
    return rows;
}

template <typename Rec>
void store(std::vector<Rec>& array, int idx, int row, const Table<Rec>& table, const QString& text,
           const ChoiceTexts& c) {
    if (idx < 0 || idx >= static_cast<int>(array.size()))
        return;
    if (row < 1 || row > static_cast<int>(table.size()))
        return;
    const RowSpec<Rec>& rowDef = table[static_cast<std::size_t>(row - 1)];
    if (rowDef.store)
        rowDef.store(array[static_cast<std::size_t>(idx)], text, c);
}

char16_t foldAsciiCase(char16_t ch) {
    return (ch >= u'a' && ch <= u'z') ? char16_t(ch - u'a' + u'A') : ch;
}

// Equal when equal after folding the letters a-z to A-Z; other letters (ł, Ł...) must match exactly.
bool sameTextAscii(const QString& a, const QString& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (foldAsciiCase(a[i].unicode()) != foldAsciiCase(b[i].unicode()))
            return false;
    return true;
}

} // namespace

ChoiceTexts ChoiceTexts::FromTextTable() {
    ChoiceTexts c;
    c.O_MODE = {Pl(lt::ModeOff), Pl(lt::ModeOn), Pl(lt::ModeToggle)};
    c.I_CONN = {Pl(lt::ConnInput), Pl(lt::ConnOutput)};
    c.Z_POSS = {Pl(lt::OrientHorizontal), Pl(lt::OrientVertical)};
    c.Z_MODE = {Pl(lt::No), Pl(lt::Yes)};
    return c;
}

QStringList FontSizeChoices() {
    static const QString sizes =
        QStringLiteral("8\r9\r10\r11\r12\r14\r16\r18\r20\r22\r24\r26\r28\r36\r48\r72");
    return sizes.split(u'\r');
}

std::vector<SheetRow> BuildRows(const ElementRecords& records, int kind, int idx, const ChoiceTexts& choices,
                                const QStringList& fontNames) {
    switch (kind) {
    case KindButton:
        return build(records.ES_Buttons, idx, buttonRows(), records, choices, fontNames);
    case KindDSign:
        return build(records.ES_DSigns, idx, digitalRows<TES_DSign>(), records, choices, fontNames);
    case KindASign:
        return build(records.ES_ASigns, idx, analogRows(), records, choices, fontNames);
    case KindText:
        return build(records.ES_Texts, idx, textRows(), records, choices, fontNames);
    case KindTrack:
        return build(records.ES_Tracks, idx, trackRows(), records, choices, fontNames);
    default:
        return {};
    }
}

void StoreRow(ElementRecords& records, int kind, int idx, int row, const QString& text,
              const ChoiceTexts& choices) {
    switch (kind) {
    case KindButton:
        store(records.ES_Buttons, idx, row, buttonRows(), text, choices);
        break;
    case KindDSign:
        store(records.ES_DSigns, idx, row, digitalRows<TES_DSign>(), text, choices);
        break;
    case KindASign:
        store(records.ES_ASigns, idx, row, analogRows(), text, choices);
        break;
    case KindText:
        store(records.ES_Texts, idx, row, textRows(), text, choices);
        break;
    case KindTrack:
        store(records.ES_Tracks, idx, row, trackRows(), text, choices);
        break;
    default:
        break;
    }
}

void StoreFontColor(ElementRecords& records, int idx, TColor color) {
    if (idx < 0 || idx >= static_cast<int>(records.ES_Texts.size()))
        return;
    records.ES_Texts[static_cast<std::size_t>(idx)].sFontColor = color;
}

void StoreFontFlag(ElementRecords& records, int idx, int row, bool on) {
    if (idx < 0 || idx >= static_cast<int>(records.ES_Texts.size()))
        return;
    TES_Text& r = records.ES_Texts[static_cast<std::size_t>(idx)];
    switch (row) {
    case 5:
        r.sFontBold = on;
        break;
    case 6:
        r.sFontItalic = on;
        break;
    case 7:
        r.sFontUnder = on;
        break;
    case 8:
        r.sFontStrike = on;
        break;
    default:
        break;
    }
}

QString ChoiceText(const QStringList& entries, int index) {
    if (entries.isEmpty())
        return {};
    if (index < 0 || index >= entries.size())
        return entries.first();
    return entries[index];
}

int TextToChoice(const QStringList& entries, const QString& text) {
    for (int i = 0; i < entries.size(); ++i)
        if (sameTextAscii(entries[i], text))
            return i;
    return 0;
}

QString BoolToText(bool value) {
    return value ? Pl(lt::Yes) : Pl(lt::No);
}

bool TextToBool(const QString& text) {
    return sameTextAscii(text, Pl(lt::Yes));
}

QString ColorToText(TColor color) {
    return QStringLiteral("$") + QStringLiteral("%1").arg(color, 8, 16, QChar(u'0')).toUpper();
}

} // namespace quelnet
