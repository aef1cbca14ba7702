#pragma once
// The panel's element records. Each kind has a record array in the panel
// window; slot i of a record array belongs with entry i of the kind's control
// arrays. A record is plain data: the parameter sheet edits it in place, the
// panel file writes and reads it, the value scans read it. An element's
// rectangle is not part of its record: it lives in the element's controls.

#include <QString>
#include <cstdint>
#include <variant>
#include <vector>

namespace quelnet {

// Kind numbers: palette item index, EditType, ElemType of ShowParams.
enum ElementKind : int {
    KindButton = 0,
    KindDSign = 1,
    KindASign = 2,
    KindText = 3,
    KindTrack = 4,
    KindNone = 255,
};
inline constexpr int ElementKindCount = 5;

inline bool IsElementKind(int kind) {
    return kind >= KindButton && kind <= KindTrack;
}

// Panel file type tags, index = kind.
inline constexpr const char* KindFileTags[ElementKindCount] = {"btn", "idg", "ian", "tlb", "zda"};

// Control name prefixes. A control is named prefix + slot in decimal.
inline constexpr const char* PrefixButtonPanel = "PP_"; // also the run-mode button picture
inline constexpr const char* PrefixSignDShape = "SD_";
inline constexpr const char* PrefixSignDImage = "ID_";
inline constexpr const char* PrefixSignAShape = "SA_";
inline constexpr const char* PrefixSignAImage = "IA_";
inline constexpr const char* PrefixText = "T_";
inline constexpr const char* PrefixSliderShape = "SZ_";
inline constexpr const char* PrefixSliderImage = "IZ_";
inline constexpr const char* PrefixSliderTrack = "TZ_";

using TColor = std::uint32_t; // 0x00BBGGRR; high byte 0xFF: a system colour

struct TES_Button {
    bool sEnabled = false;
    QString sHost;
    std::uint16_t sPort = 0;
    QString sPass;
    QString sO_DCir;
    std::uint8_t sO_Mode = 0; // 0 off, 1 on, 2 toggle
    QString sI_DCir;
    std::uint8_t sI_Conn = 0; // 0 input, 1 output
    QString sI_ImgL;
    QString sI_ImgH;
    std::uint32_t sI_Refr = 0; // ms, 0 means 1000
    QString sCaption;
    std::uint64_t wL_Fresh = 0; // working: tick (ms, 64 bits) after which the state is read again

    bool operator==(const TES_Button&) const = default;
};

struct TES_DSign {
    bool sEnabled = false;
    QString sHost;
    std::uint16_t sPort = 0;
    QString sPass;
    QString sO_DCir;
    std::uint8_t sO_Mode = 0;
    QString sI_DCir;
    std::uint8_t sI_Conn = 0;
    QString sI_ImgL;
    QString sI_ImgH;
    std::uint32_t sI_Refr = 0;
    std::uint64_t wL_Fresh = 0;

    bool operator==(const TES_DSign&) const = default;
};

inline constexpr int AnalogLevelCount = 8;

struct TES_ASign {
    bool sEnabled = false;
    QString sHost;
    std::uint16_t sPort = 0;
    QString sPass;
    QString sI_ACir;
    std::uint8_t sI_Conn = 0;
    QString sI_ImgD;
    // sI_Lev1..sI_Lev8 and sI_Img1..sI_Img8, index 0 = level 1.
    float sI_Lev[AnalogLevelCount] = {};
    QString sI_Img[AnalogLevelCount];
    std::uint32_t sI_Refr = 0;
    std::uint64_t wL_Fresh = 0;

    bool operator==(const TES_ASign&) const = default;
};

struct TES_Text {
    bool sEnabled = false;
    QString sText;
    QString sFontName;
    std::int32_t sFontSize = 0;
    TColor sFontColor = 0;
    bool sFontBold = false;
    bool sFontItalic = false;
    bool sFontUnder = false;
    bool sFontStrike = false;

    bool operator==(const TES_Text&) const = default;
};

struct TES_Track {
    bool sEnabled = false;
    QString sHost;
    std::uint16_t sPort = 0;
    QString sPass;
    QString sO_ACir;
    std::uint8_t sOrient = 0; // 1 vertical, anything else horizontal
    std::uint8_t sRevers = 0; // stored and edited only
    std::int32_t sSteps = 0;
    float sStartVal = 0;
    float sStepVal = 0;
    float sStopVal = 0;

    bool operator==(const TES_Track&) const = default;
};

// The five record arrays the panel window owns. They never shrink while the
// window is open; a freed slot keeps its record for the next element of its kind.
struct ElementRecords {
    std::vector<TES_Button> ES_Buttons;
    std::vector<TES_DSign> ES_DSigns;
    std::vector<TES_ASign> ES_ASigns;
    std::vector<TES_Text> ES_Texts;
    std::vector<TES_Track> ES_Tracks;

    int Count(int kind) const;
    // Append one zeroed record of the kind; returns its slot.
    int Append(int kind);
    // sEnabled of a slot (false for a kind outside 0-4 or a slot out of range).
    bool Enabled(int kind, int slot) const;
    void SetEnabled(int kind, int slot, bool enabled);

    // The record of a slot as a value of its own, and back (the kind is the
    // alternative the value holds). Record() needs a slot in range; SetRecord()
    // ignores one out of range.
    using Any = std::variant<TES_Button, TES_DSign, TES_ASign, TES_Text, TES_Track>;
    Any Record(int kind, int slot) const;
    void SetRecord(int slot, const Any& record);
    // Drops the records from `count` on (an undone placement gives back the
    // slot it appended).
    void Truncate(int kind, int count);

    bool operator==(const ElementRecords&) const = default;
};

// One record of any kind; its variant index is its kind.
using ElementRecord = ElementRecords::Any;
inline int KindOf(const ElementRecord& record) {
    return int(record.index());
}

// Slot rule: the lowest slot whose principal control is absent, else `count`
// (the caller then grows the record array and the kind's control arrays).
template <typename IsFree> int LowestFreeSlot(int count, IsFree isFree) {
    for (int i = 0; i < count; ++i)
        if (isFree(i))
            return i;
    return count;
}

// Splits a control name such as "ID_12" into prefix and slot; false when the
// name does not start with `prefix` followed by a decimal number.
bool SlotFromName(const QString& name, const char* prefix, int* slot);
QString ControlName(const char* prefix, int slot);

} // namespace quelnet
