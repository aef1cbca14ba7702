#include "core/panel/PanelFileKeys.h"

#include "core/base/InterfaceTexts.h"
#include "core/panel/PanelFile.h"

#include <functional>
#include <vector>

namespace quelnet {

namespace {

template <typename Rec> struct Field {
    const char* key; // five characters, ending in '='
    std::function<QString(const Rec&)> write;
    std::function<void(Rec&, const QString&)> read;
};

// Text values run to the end of their line; a line break inside one would
// split it into lines of its own, so it is written as a blank.
QString TextValue(const QString& s) {
    if (!s.contains(QChar(u'\r')) && !s.contains(QChar(u'\n')))
        return s;
    QString v = s;
    v.replace(QLatin1String("\r\n"), QLatin1String(" "));
    v.replace(QChar(u'\r'), QChar(u' '));
    v.replace(QChar(u'\n'), QChar(u' '));
    return v;
}

template <typename Rec> Field<Rec> Bool(const char* key, bool Rec::*m) {
    return {key, [m](const Rec& r) { return QString::fromLatin1(r.*m ? "yes" : "no"); },
            [m](Rec& r, const QString& v) { r.*m = v == QLatin1String("yes"); }};
}

template <typename Rec> Field<Rec> Text(const char* key, QString Rec::*m) {
    return {key, [m](const Rec& r) { return TextValue(r.*m); }, [m](Rec& r, const QString& v) { r.*m = v; }};
}

// Unsigned fields (port, byte fields, refresh): written unsigned, read
// leniently and cut to the field's width by keeping the low bits.
template <typename Rec, typename T> Field<Rec> Unsigned(const char* key, T Rec::*m) {
    return {
        key, [m](const Rec& r) { return QString::number(static_cast<qulonglong>(r.*m)); },
        [m](Rec& r, const QString& v) { r.*m = static_cast<T>(static_cast<std::uint64_t>(TextToInt64(v))); }};
}

template <typename Rec> Field<Rec> Int(const char* key, std::int32_t Rec::*m) {
    return {key, [m](const Rec& r) { return QString::number(r.*m); },
            [m](Rec& r, const QString& v) {
                r.*m = static_cast<std::int32_t>(static_cast<std::uint32_t>(TextToInt64(v)));
            }};
}

template <typename Rec> Field<Rec> Colour(const char* key, TColor Rec::*m) {
    return {key,
            [m](const Rec& r) {
                return QStringLiteral("$") + QStringLiteral("%1").arg(r.*m, 8, 16, QChar(u'0')).toUpper();
            },
            [m](Rec& r, const QString& v) { r.*m = static_cast<TColor>(TextToInt64(v)); }};
}

template <typename Rec> Field<Rec> Real(const char* key, float Rec::*m) {
    return {key, [m](const Rec& r) { return FormatPanelReal(double(r.*m)); },
            [m](Rec& r, const QString& v) { r.*m = TextToSingle(v); }};
}

Field<TES_ASign> Level(const char* key, int i) {
    return {key, [i](const TES_ASign& r) { return FormatPanelReal(double(r.sI_Lev[i])); },
            [i](TES_ASign& r, const QString& v) { r.sI_Lev[i] = TextToSingle(v); }};
}

Field<TES_ASign> Image(const char* key, int i) {
    return {key, [i](const TES_ASign& r) { return TextValue(r.sI_Img[i]); },
            [i](TES_ASign& r, const QString& v) { r.sI_Img[i] = v; }};
}

const std::vector<Field<TES_Button>>& ButtonKeys() {
    using R = TES_Button;
    static const std::vector<Field<R>> t = {
        Bool("p_en=", &R::sEnabled), Text("p_ho=", &R::sHost),       Unsigned("p_pr=", &R::sPort),
        Text("p_ps=", &R::sPass),    Text("p_oc=", &R::sO_DCir),     Unsigned("p_om=", &R::sO_Mode),
        Text("p_ic=", &R::sI_DCir),  Unsigned("p_im=", &R::sI_Conn), Text("p_il=", &R::sI_ImgL),
        Text("p_ih=", &R::sI_ImgH),  Unsigned("p_fr=", &R::sI_Refr), Text("p_cp=", &R::sCaption),
    };
    return t;
}

const std::vector<Field<TES_DSign>>& DSignKeys() {
    using R = TES_DSign;
    static const std::vector<Field<R>> t = {
        Bool("iden=", &R::sEnabled), Text("idho=", &R::sHost),       Unsigned("idpr=", &R::sPort),
        Text("idps=", &R::sPass),    Text("idoc=", &R::sO_DCir),     Unsigned("idom=", &R::sO_Mode),
        Text("idic=", &R::sI_DCir),  Unsigned("idim=", &R::sI_Conn), Text("idil=", &R::sI_ImgL),
        Text("idih=", &R::sI_ImgH),  Unsigned("idfr=", &R::sI_Refr),
    };
    return t;
}

const std::vector<Field<TES_ASign>>& ASignKeys() {
    using R = TES_ASign;
    static const std::vector<Field<R>> t = [] {
        std::vector<Field<R>> v = {
            Bool("iaen=", &R::sEnabled), Text("iaho=", &R::sHost),   Unsigned("iapr=", &R::sPort),
            Text("iaps=", &R::sPass),    Text("iaic=", &R::sI_ACir), Unsigned("iaim=", &R::sI_Conn),
            Text("iaid=", &R::sI_ImgD),
        };
        static const char* const levels[AnalogLevelCount] = {
            "ial1=", "ial2=", "ial3=", "ial4=", "ial5=", "ial6=", "ial7=", "ial8="};
        static const char* const images[AnalogLevelCount] = {
            "iai1=", "iai2=", "iai3=", "iai4=", "iai5=", "iai6=", "iai7=", "iai8="};
        for (int i = 0; i < AnalogLevelCount; ++i) {
            v.push_back(Level(levels[i], i));
            v.push_back(Image(images[i], i));
        }
        v.push_back(Unsigned("iafr=", &R::sI_Refr));
        return v;
    }();
    return t;
}

const std::vector<Field<TES_Text>>& TextKeys() {
    using R = TES_Text;
    static const std::vector<Field<R>> t = {
        Bool("t_en=", &R::sEnabled),    Text("t_tx=", &R::sText),        Text("t_fn=", &R::sFontName),
        Int("t_fs=", &R::sFontSize),    Colour("t_fc=", &R::sFontColor), Bool("t_fb=", &R::sFontBold),
        Bool("t_fi=", &R::sFontItalic), Bool("t_fu=", &R::sFontUnder),   Bool("t_ft=", &R::sFontStrike),
    };
    return t;
}

const std::vector<Field<TES_Track>>& TrackKeys() {
    using R = TES_Track;
    static const std::vector<Field<R>> t = {
        Bool("z_en=", &R::sEnabled),    Text("z_ho=", &R::sHost),    Unsigned("z_pr=", &R::sPort),
        Text("z_ps=", &R::sPass),       Text("z_oc=", &R::sO_ACir),  Unsigned("z_or=", &R::sOrient),
        Unsigned("z_rv=", &R::sRevers), Int("z_st=", &R::sSteps),    Real("zvst=", &R::sStartVal),
        Real("zvti=", &R::sStepVal),    Real("zvsp=", &R::sStopVal),
    };
    return t;
}

template <typename Rec>
void WriteKeys(const std::vector<Rec>& records, const std::vector<Field<Rec>>& keys, int slot, QString& text) {
    if (slot < 0 || slot >= int(records.size()))
        return;
    for (const Field<Rec>& f : keys) {
        text += QLatin1String(f.key);
        text += f.write(records[size_t(slot)]);
        text += QLatin1String("\r\n");
    }
}

template <typename Rec>
bool ReadKey(std::vector<Rec>& records, const std::vector<Field<Rec>>& keys, int slot, const QString& line) {
    for (const Field<Rec>& f : keys) {
        if (!line.startsWith(QLatin1String(f.key)))
            continue;
        if (slot >= 0 && slot < int(records.size()))
            f.read(records[size_t(slot)], line.mid(5));
        return true;
    }
    return false;
}

} // namespace

void WriteRecordKeys(const ElementRecords& r, int kind, int slot, QStringList& lines) {
    QString text;
    WriteRecordKeys(r, kind, slot, text);
    text.chop(2); // the last line's end
    if (!text.isEmpty())
        lines << text.split(QLatin1String("\r\n")); // no value holds a line break
}

void WriteRecordKeys(const ElementRecords& r, int kind, int slot, QString& lines) {
    switch (kind) {
    case KindButton:
        WriteKeys(r.ES_Buttons, ButtonKeys(), slot, lines);
        break;
    case KindDSign:
        WriteKeys(r.ES_DSigns, DSignKeys(), slot, lines);
        break;
    case KindASign:
        WriteKeys(r.ES_ASigns, ASignKeys(), slot, lines);
        break;
    case KindText:
        WriteKeys(r.ES_Texts, TextKeys(), slot, lines);
        break;
    case KindTrack:
        WriteKeys(r.ES_Tracks, TrackKeys(), slot, lines);
        break;
    default:
        break;
    }
}

bool ReadRecordKey(ElementRecords& r, int kind, int slot, const QString& line) {
    switch (kind) {
    case KindButton:
        return ReadKey(r.ES_Buttons, ButtonKeys(), slot, line);
    case KindDSign:
        return ReadKey(r.ES_DSigns, DSignKeys(), slot, line);
    case KindASign:
        return ReadKey(r.ES_ASigns, ASignKeys(), slot, line);
    case KindText:
        return ReadKey(r.ES_Texts, TextKeys(), slot, line);
    case KindTrack:
        return ReadKey(r.ES_Tracks, TrackKeys(), slot, line);
    default:
        return false;
    }
}

} // namespace quelnet
