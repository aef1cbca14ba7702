#pragma once
// PanelViews: the element controls of the panel window and everything that
// creates, finds, stacks and destroys them. Owned by TfmVQuelnet.
//
// Slots and arrays. Slot i of a kind is record i of the kind's record array
// (ElementRecords) together with entry i of each of the kind's control arrays
// that the mode fills:
//
//   kind  array               control            prefix  editor  run
//   0     Quel_Button_Panel   ElementPanel       PP_     yes     yes
//   0     Quel_Button_Image   ElementPicture     PP_     -       yes (child of the panel, at (4,4))
//   1     Quel_SignD_Shape    ElementShape       SD_     yes     -
//   1     Quel_SignD_Image    ElementPicture     ID_     yes     yes
//   2     Quel_SignA_Shape    ElementShape       SA_     yes     -
//   2     Quel_SignA_Image    ElementPicture     IA_     yes     yes
//   3     Quel_Text           ElementStaticText  T_      yes     yes
//   4     Quel_Slider_Shape   ElementShape       SZ_     yes     -
//   4     Quel_Slider_Image   ElementPicture     IZ_     yes     -
//   4     Quel_Slider_Track   ElementTrackBar    TZ_     -       yes
//
// A control is named prefix + slot ("ID_12"); its "tag" property is the slot
// (ControlTag()). An absent control is a null entry (QPointer: an entry also
// turns null by itself when its control is deleted). A slot is free when its
// principal control is absent: the panel (0), the indicator picture (1, 2),
// the static text (3), the slider picture in the editor or the track bar in
// run mode (4). Arrays never shrink except in ClearAll().
//
// Stacking and save order. Pictures and shapes are "graphic" controls (the
// original toolkit's non-windowed ones): they always lie below panels, texts
// and sliders; within each group a later insertion lies above. The panel file
// lists elements in the window's child order: graphic controls first, then the
// windowed ones, each group in order of insertion (ElementsInSaveOrder()), so a
// re-created view goes to the end of its group.
//
// Handlers. The views attach the element handlers per mode and call them on
// the IElementHandlers given at construction (the window):
//
//   control                    editor                         run mode
//   button panel               ElementClick, ElementDblClick  ElementOutputClick
//   button picture (run)       -                              ElementOutputClick
//   digital indicator picture  ElementClick, ElementDblClick  ElementOutputClick
//   analog indicator picture   ElementClick, ElementDblClick  none
//   text label                 ElementClick, ElementDblClick  none
//   slider picture (editor)    ElementClick, ElementDblClick  -
//   track bar (run)            -                              SliderChange
//   hatched rectangles         none                           -
//
// A click is reported on release over the control, a double-click on the
// second press (sequence: click, double-click). A handler may destroy the
// control that called it (DestroyElementControls): while a handler runs,
// destruction removes the control from the window and its array at once and
// deletes it once control returns to the event loop. Mouse events over element
// controls never reach the window's own mouse handlers.

#include "core/panel/ElementModel.h"
#include "core/panel/PanelFile.h"
#include "gui/panel/ElementControls.h"
#include "gui/panel/PictureCache.h"

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QString>
#include <array>
#include <memory>
#include <vector>

class QWidget;

namespace quelnet {

// The element handlers, implemented by the panel window. `Sender` is the
// control the user acted on (a panel, picture, static text or track bar); use
// PanelViews::ElementOf(Sender) for kind and slot, Sender->geometry() for the
// rectangle. SliderChange is called for every position change of a track bar
// after it was set up (never during creation); the position is
// static_cast<QSlider*>(Sender)->value().
class IElementHandlers {
public:
    virtual ~IElementHandlers() = default;
    virtual void ElementClick(QWidget* Sender) = 0;       // editor
    virtual void ElementDblClick(QWidget* Sender) = 0;    // editor
    virtual void ElementOutputClick(QWidget* Sender) = 0; // run mode: buttons, digital indicators
    virtual void SliderChange(QWidget* Sender) = 0;       // run mode: track bars
};

// The element behind a control.
struct ElementRef {
    int Kind = KindNone; // 0-4, KindNone when the control is no element control
    int Slot = -1;
    bool IsElement() const { return IsElementKind(Kind) && Slot >= 0; }
};

class PanelViews {
public:
    // `window` receives the controls; `records` are the window's record arrays;
    // `editMode` is read on every call (the window's EditMode, set after construction).
    PanelViews(QWidget* window, ElementRecords& records, IElementHandlers& handlers, const bool& editMode);
    ~PanelViews(); // destroys every element control (ClearAll)
    PanelViews(const PanelViews&) = delete;
    PanelViews& operator=(const PanelViews&) = delete;

    // ---- the ten control arrays ----
    std::vector<QPointer<ElementPanel>> Quel_Button_Panel;
    std::vector<QPointer<ElementPicture>> Quel_Button_Image;
    std::vector<QPointer<ElementShape>> Quel_SignD_Shape;
    std::vector<QPointer<ElementPicture>> Quel_SignD_Image;
    std::vector<QPointer<ElementShape>> Quel_SignA_Shape;
    std::vector<QPointer<ElementPicture>> Quel_SignA_Image;
    std::vector<QPointer<ElementStaticText>> Quel_Text;
    std::vector<QPointer<ElementShape>> Quel_Slider_Shape;
    std::vector<QPointer<ElementPicture>> Quel_Slider_Image;
    std::vector<QPointer<ElementTrackBar>> Quel_Slider_Track;

    // ---- the nine creation operations ----
    // Each creates one control (CreateButtonPanel in run mode also the button's
    // picture), with rectangle (ALeft, ATop, AWidth, AHeight), name Prefix +
    // Index and tag Index, stores it in entry Index of its array and returns it.
    // The control is not yet in the window: pass it to InsertControl().
    // Index must be a slot of the kind's record array (else nothing is created
    // and the result is null); the kind's arrays in use grow to the record
    // array's length when shorter. A control still in the entry is destroyed
    // first. All but the shapes set the record's sEnabled true.
    ElementPanel* CreateButtonPanel(const QString& Prefix, int Index, int ALeft, int ATop, int AWidth,
                                    int AHeight);
    ElementShape* CreateSignDShape(const QString& Prefix, int Index, int ALeft, int ATop, int AWidth,
                                   int AHeight);
    ElementPicture* CreateSignDImage(const QString& Prefix, int Index, int ALeft, int ATop, int AWidth,
                                     int AHeight);
    ElementShape* CreateSignAShape(const QString& Prefix, int Index, int ALeft, int ATop, int AWidth,
                                   int AHeight);
    ElementPicture* CreateSignAImage(const QString& Prefix, int Index, int ALeft, int ATop, int AWidth,
                                     int AHeight);
    ElementStaticText* CreateTextLabel(const QString& Prefix, int Index, int ALeft, int ATop, int AWidth,
                                       int AHeight);
    ElementShape* CreateSliderShape(const QString& Prefix, int Index, int ALeft, int ATop, int AWidth,
                                    int AHeight);
    ElementPicture* CreateSliderImage(const QString& Prefix, int Index, int ALeft, int ATop, int AWidth,
                                      int AHeight);
    ElementTrackBar* CreateSliderTrack(const QString& Prefix, int Index, int ALeft, int ATop, int AWidth,
                                       int AHeight);

    // Puts a control into the window and shows it: graphic controls (see
    // IsGraphicControl) go above the other graphic controls and below every
    // windowed child; other controls go on top. Also records the insertion
    // order used by ElementsInSaveOrder(). The editor's frames may use it too.
    // With `insertion` (> 0, a number an earlier insertion gave out) the
    // control takes that place again: in the save order and in the stacking
    // order of its group, as if it had never left.
    void InsertControl(QWidget* control, qint64 insertion = 0);

    // While one lives, InsertControl() leaves the stacking to its end: many
    // controls (a panel file being read) are then stacked in one pass, each
    // windowed control raised once, instead of one search of the window's
    // children per control. The order is the same as that of single inserts.
    class InsertBatch {
    public:
        explicit InsertBatch(PanelViews& views);
        ~InsertBatch();
        InsertBatch(const InsertBatch&) = delete;
        InsertBatch& operator=(const InsertBatch&) = delete;

    private:
        PanelViews& m_views;
        bool m_owner; // false inside another batch
    };

    // ---- slots ----
    // Lowest free slot of the kind, else the record array and the kind's
    // control arrays in use grow by one and the new last slot is returned.
    // A reused slot keeps its record. -1 for a kind outside 0-4.
    int AllocateSlot(int kind);
    bool IsSlotFree(int kind, int slot) const;
    // The principal control of the slot (see above), null when free.
    QWidget* PrincipalControl(int kind, int slot) const;

    // Creates the element's views of the current mode in the slot with the
    // rectangle and inserts them (shape first, picture second). Returns the
    // principal control, null when the kind or slot is invalid.
    // With `insertion` (InsertionOf() of the element's earlier views) the
    // views take their earlier place in the save and stacking orders.
    QWidget* CreateElementViews(int kind, int slot, const QRect& rect, qint64 insertion = 0);

    // Insertion number of the slot's principal control (see InsertControl),
    // 0 when the slot is free.
    qint64 InsertionOf(int kind, int slot) const;
    // True when an element other than the slot's, in the same group of the
    // save order (graphic or windowed), was inserted after `from` and before
    // `to`: the element taken out at `from` and put back at `to` has changed
    // its place in the panel file.
    bool OthersInsertedBetween(int kind, int slot, qint64 from, qint64 to) const;
    // The record array of the kind reaches `slot` (appending zeroed records),
    // and so do the kind's control arrays in use.
    void EnsureSlot(int kind, int slot);
    // The kind keeps only its first `count` slots, records and control arrays
    // alike; the controls of the dropped slots are destroyed.
    void TruncateSlots(int kind, int count);

    // Removes the element's controls in the slot from the window, destroys them
    // and clears their entries (the run-mode button picture first). The record
    // is left as it is (sEnabled included).
    void DestroyElementControls(int kind, int slot);

    // ClearElements: every element control of the window is removed and
    // destroyed, then all ten arrays are emptied. Records stay.
    void ClearAll();

    // Kind and slot of an element control, from its name prefix and its type
    // (the run-mode button picture counts as the button; shapes give the kind
    // they stand for). KindNone for any other object.
    static ElementRef ElementOf(const QObject* control);

    // The rectangle of the element behind a control: its geometry, except for
    // an editor label grown to show its whole text, whose element keeps the
    // size it was given (ElementStaticText::ElementSize()).
    static QRect ElementRect(const QWidget* control);

    // The elements in the window's child order for the panel file: graphic
    // controls, then windowed ones, each in insertion order; only button
    // panels (PP_), indicator pictures (ID_, IA_), static texts (T_) and
    // slider pictures (IZ_) count.
    std::vector<PanelElementPlace> ElementsInSaveOrder() const;

    // ---- run-mode pictures ----
    // Digital state of a button (kind 0, its picture) or digital indicator
    // (kind 1): false shows sI_ImgL, true sI_ImgH.
    void ShowDigital(int kind, int slot, bool state);
    // Analog indicator: the picture of the highest level (8 down to 1) the value
    // is strictly greater than, else sI_ImgD (NaN included).
    void ShowAnalog(int slot, float value);
    // Empties the state picture of a button or digital or analog indicator.
    void ClearPicture(int kind, int slot);
    // The three above read each picture file once (PictureCache) and leave a
    // picture that already shows the selected file's content untouched.
    // Loads a picture file (followed symbolic links; any format QImageReader
    // reads: BMP, PNG, ICO, TIFF ...) into the picture, uncached; a missing,
    // unreadable or damaged file clears it. True when a picture was loaded.
    static bool LoadPictureFile(ElementPicture* picture, const QString& path);
    // The state picture control of a button, digital or analog indicator.
    ElementPicture* StatePicture(int kind, int slot) const;

    // Editor placeholder pictures, 64 x 64: 0 digital, 1 analog, 2 slider.
    const QImage& Placeholder(int index) const { return m_placeholders.at(size_t(index)); }

    bool EditMode() const { return m_editMode; }
    QWidget* Window() const { return m_window; }

private:
    bool SlotExists(int kind, int slot);
    void SyncArrays(int kind);
    void DestroyControl(QWidget* control);
    class StackWatch;
    void DestroyAllControls();
    QWidget* LowestWindowedChild();
    void ShowPictureFile(ElementPicture* picture, const QString& path);
    ElementPicture* CreatePicture(std::vector<QPointer<ElementPicture>>& array, int kind, int placeholder,
                                  const QString& Prefix, int Index, const QRect& r);
    ElementShape* CreateShape(std::vector<QPointer<ElementShape>>& array, int kind, const QString& Prefix,
                              int Index, const QRect& r);
    ControlHandler Dispatch(void (IElementHandlers::*handler)(QWidget*));

    QWidget* m_window;
    ElementRecords& m_records;
    IElementHandlers& m_handlers;
    const bool& m_editMode;
    std::array<QImage, 3> m_placeholders;
    PictureCache m_pictures;
    std::unique_ptr<StackWatch> m_stackWatch; // see LowestWindowedChild()
    qint64 m_insertions = 0;
    // During an InsertBatch: the windowed children the window had before it,
    // and the windowed controls inserted meanwhile (not yet in the window).
    bool m_batching = false;
    std::vector<QPointer<QWidget>> m_batchBefore;
    std::vector<QPointer<QWidget>> m_batchWindowed;
    // Per kind: no slot below it is free (kept during a batch; AllocateSlot).
    std::array<int, ElementKindCount> m_freeFrom{};
    int m_dispatchDepth = 0; // > 0 while an element handler runs
};

} // namespace quelnet
