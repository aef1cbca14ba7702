#include "gui/panel/PanelViews.h"

#include "core/panel/PictureRules.h"
#include "gui/common/TColorMap.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <algorithm>
#include <utility>

// Resources of a static library must be registered by name.
static void InitPlaceholderResources() {
    Q_INIT_RESOURCE(panel_placeholders);
}

namespace quelnet {

namespace {

constexpr const char* kInsertionProperty = "insertion";

template <typename T> void GrowTo(std::vector<QPointer<T>>& array, int count) {
    if (int(array.size()) < count)
        array.resize(size_t(count));
}

template <typename T> T* Entry(const std::vector<QPointer<T>>& array, int slot) {
    if (slot < 0 || slot >= int(array.size()))
        return nullptr;
    return array[size_t(slot)].data();
}

template <typename T> void ClearEntry(std::vector<QPointer<T>>& array, int slot) {
    if (slot >= 0 && slot < int(array.size()))
        array[size_t(slot)] = nullptr;
}

void SetUpControl(QWidget* w, const QString& prefix, int index, const QRect& r) {
    w->setGeometry(r);
    SetControlTag(w, index);
    w->setObjectName(prefix + QString::number(index));
}

struct DepthGuard {
    int& depth;
    explicit DepthGuard(int& d) : depth(d) { ++depth; }
    ~DepthGuard() { --depth; }
};

} // namespace

PanelViews::PanelViews(QWidget* window, ElementRecords& records, IElementHandlers& handlers,
                       const bool& editMode)
    : m_window(window), m_records(records), m_handlers(handlers), m_editMode(editMode),
      m_stackWatch(std::make_unique<StackWatch>()) {
    InitPlaceholderResources();
    static const char* const files[3] = {":/panel/placeholder_digital.png", ":/panel/placeholder_analog.png",
                                         ":/panel/placeholder_slider.png"};
    for (size_t i = 0; i < m_placeholders.size(); ++i)
        m_placeholders[i] = QImage(QString::fromLatin1(files[i]));
}

PanelViews::~PanelViews() {
    ClearAll();
}

ControlHandler PanelViews::Dispatch(void (IElementHandlers::*handler)(QWidget*)) {
    return [this, handler](QWidget* sender) {
        DepthGuard guard(m_dispatchDepth);
        (m_handlers.*handler)(sender);
    };
}

// ---- arrays and slots ----

void PanelViews::SyncArrays(int kind) {
    const int n = m_records.Count(kind);
    const bool edit = m_editMode;
    switch (kind) {
    case KindButton:
        GrowTo(Quel_Button_Panel, n);
        if (!edit)
            GrowTo(Quel_Button_Image, n);
        break;
    case KindDSign:
        if (edit)
            GrowTo(Quel_SignD_Shape, n);
        GrowTo(Quel_SignD_Image, n);
        break;
    case KindASign:
        if (edit)
            GrowTo(Quel_SignA_Shape, n);
        GrowTo(Quel_SignA_Image, n);
        break;
    case KindText:
        GrowTo(Quel_Text, n);
        break;
    case KindTrack:
        if (edit) {
            GrowTo(Quel_Slider_Shape, n);
            GrowTo(Quel_Slider_Image, n);
        } else {
            GrowTo(Quel_Slider_Track, n);
        }
        break;
    default:
        break;
    }
}

bool PanelViews::SlotExists(int kind, int slot) {
    if (!IsElementKind(kind) || slot < 0 || slot >= m_records.Count(kind))
        return false;
    SyncArrays(kind);
    return true;
}

QWidget* PanelViews::PrincipalControl(int kind, int slot) const {
    switch (kind) {
    case KindButton:
        return Entry(Quel_Button_Panel, slot);
    case KindDSign:
        return Entry(Quel_SignD_Image, slot);
    case KindASign:
        return Entry(Quel_SignA_Image, slot);
    case KindText:
        return Entry(Quel_Text, slot);
    case KindTrack:
        return m_editMode ? static_cast<QWidget*>(Entry(Quel_Slider_Image, slot))
                          : static_cast<QWidget*>(Entry(Quel_Slider_Track, slot));
    default:
        return nullptr;
    }
}

bool PanelViews::IsSlotFree(int kind, int slot) const {
    return PrincipalControl(kind, slot) == nullptr;
}

int PanelViews::AllocateSlot(int kind) {
    if (!IsElementKind(kind))
        return -1;
    SyncArrays(kind);
    const int count = m_records.Count(kind);
    // While a batch reads a panel file no slot is freed (DestroyControl
    // forgets the mark), so the search goes on from the last free slot found
    // instead of from slot 0 for every element.
    int& from = m_freeFrom[size_t(kind)];
    if (!m_batching)
        from = 0;
    const int start = std::min(from, count);
    const int slot =
        start + LowestFreeSlot(count - start, [&](int i) { return IsSlotFree(kind, start + i); });
    from = slot;
    if (slot == count) {
        m_records.Append(kind);
        SyncArrays(kind);
    }
    return slot;
}

// ---- creation ----

ElementPanel* PanelViews::CreateButtonPanel(const QString& Prefix, int Index, int ALeft, int ATop, int AWidth,
                                            int AHeight) {
    if (!SlotExists(KindButton, Index))
        return nullptr;
    DestroyControl(Entry(Quel_Button_Image, Index));
    DestroyControl(Entry(Quel_Button_Panel, Index));
    TES_Button& rec = m_records.ES_Buttons[size_t(Index)];
    rec.sEnabled = true;

    auto* panel = new ElementPanel;
    SetUpControl(panel, Prefix, Index, QRect(ALeft, ATop, AWidth, AHeight));
    // The blanks keep the right-aligned caption clear of the edge.
    panel->SetCaption(rec.sCaption + QStringLiteral("  "));
    Quel_Button_Panel[size_t(Index)] = panel;

    if (m_editMode) {
        panel->Clicks.OnDblClick = Dispatch(&IElementHandlers::ElementDblClick);
        panel->Clicks.OnClick = Dispatch(&IElementHandlers::ElementClick);
        return panel;
    }
    // Run mode: a square state picture inside the panel, same name as the panel.
    auto* picture = new ElementPicture(panel);
    const int side = std::max(0, std::min(AWidth, AHeight) - 8);
    SetUpControl(picture, Prefix, Index, QRect(4, 4, side, side));
    Quel_Button_Image[size_t(Index)] = picture;
    panel->Clicks.OnClick = Dispatch(&IElementHandlers::ElementOutputClick);
    picture->Clicks.OnClick = Dispatch(&IElementHandlers::ElementOutputClick);
    return panel;
}

ElementShape* PanelViews::CreateShape(std::vector<QPointer<ElementShape>>& array, int kind,
                                      const QString& Prefix, int Index, const QRect& r) {
    if (!SlotExists(kind, Index))
        return nullptr;
    GrowTo(array, Index + 1); // shapes live in the editor's arrays only
    DestroyControl(Entry(array, Index));
    auto* shape = new ElementShape;
    SetUpControl(shape, Prefix, Index, r);
    array[size_t(Index)] = shape;
    return shape;
}

ElementPicture* PanelViews::CreatePicture(std::vector<QPointer<ElementPicture>>& array, int kind,
                                          int placeholder, const QString& Prefix, int Index, const QRect& r) {
    if (!SlotExists(kind, Index))
        return nullptr;
    GrowTo(array, Index + 1);
    DestroyControl(Entry(array, Index));
    m_records.SetEnabled(kind, Index, true);
    auto* picture = new ElementPicture;
    SetUpControl(picture, Prefix, Index, r);
    array[size_t(Index)] = picture;
    if (m_editMode) {
        picture->SetPicture(Placeholder(placeholder));
        picture->Clicks.OnDblClick = Dispatch(&IElementHandlers::ElementDblClick);
        picture->Clicks.OnClick = Dispatch(&IElementHandlers::ElementClick);
    } else if (kind == KindDSign) {
        picture->Clicks.OnClick = Dispatch(&IElementHandlers::ElementOutputClick);
    }
    return picture;
}

ElementShape* PanelViews::CreateSignDShape(const QString& Prefix, int Index, int ALeft, int ATop, int AWidth,
                                           int AHeight) {
    return CreateShape(Quel_SignD_Shape, KindDSign, Prefix, Index, QRect(ALeft, ATop, AWidth, AHeight));
}

ElementPicture* PanelViews::CreateSignDImage(const QString& Prefix, int Index, int ALeft, int ATop,
                                             int AWidth, int AHeight) {
    return CreatePicture(Quel_SignD_Image, KindDSign, 0, Prefix, Index, QRect(ALeft, ATop, AWidth, AHeight));
}

ElementShape* PanelViews::CreateSignAShape(const QString& Prefix, int Index, int ALeft, int ATop, int AWidth,
                                           int AHeight) {
    return CreateShape(Quel_SignA_Shape, KindASign, Prefix, Index, QRect(ALeft, ATop, AWidth, AHeight));
}

ElementPicture* PanelViews::CreateSignAImage(const QString& Prefix, int Index, int ALeft, int ATop,
                                             int AWidth, int AHeight) {
    return CreatePicture(Quel_SignA_Image, KindASign, 1, Prefix, Index, QRect(ALeft, ATop, AWidth, AHeight));
}

ElementShape* PanelViews::CreateSliderShape(const QString& Prefix, int Index, int ALeft, int ATop, int AWidth,
                                            int AHeight) {
    return CreateShape(Quel_Slider_Shape, KindTrack, Prefix, Index, QRect(ALeft, ATop, AWidth, AHeight));
}

ElementPicture* PanelViews::CreateSliderImage(const QString& Prefix, int Index, int ALeft, int ATop,
                                              int AWidth, int AHeight) {
    return CreatePicture(Quel_Slider_Image, KindTrack, 2, Prefix, Index, QRect(ALeft, ATop, AWidth, AHeight));
}

ElementStaticText* PanelViews::CreateTextLabel(const QString& Prefix, int Index, int ALeft, int ATop,
                                               int AWidth, int AHeight) {
    if (!SlotExists(KindText, Index))
        return nullptr;
    DestroyControl(Entry(Quel_Text, Index));
    TES_Text& rec = m_records.ES_Texts[size_t(Index)];
    rec.sEnabled = true;

    auto* label = new ElementStaticText;
    SetUpControl(label, Prefix, Index, QRect(ALeft, ATop, AWidth, AHeight));
    label->setText(rec.sText);

    // The window's font (Tahoma), changed only where the record says so.
    QFont font = m_window->font();
    if (!rec.sFontName.isEmpty())
        font.setFamily(rec.sFontName);
    if (rec.sFontSize != 0) {
        // Negative sizes (a character height in the original toolkit) count as
        // their magnitude; absurd sizes are capped so that drawing stays cheap.
        const qint64 size = rec.sFontSize < 0 ? -qint64(rec.sFontSize) : qint64(rec.sFontSize);
        font.setPointSize(int(std::min<qint64>(size, 1000)));
    } else {
        const QFont def = QApplication::font();
        if (def.pointSizeF() > 0)
            font.setPointSizeF(def.pointSizeF());
        else
            font.setPixelSize(def.pixelSize());
    }
    font.setBold(rec.sFontBold);
    font.setItalic(rec.sFontItalic);
    font.setUnderline(rec.sFontUnder);
    font.setStrikeOut(rec.sFontStrike);
    label->setFont(font);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, ColorFromTColor(rec.sFontColor, m_window->palette()));
    label->setPalette(pal);

    Quel_Text[size_t(Index)] = label;
    if (m_editMode) {
        label->SetSunken(true);
        // The saved rectangle may be smaller than the text (the run mode
        // ignores its size): the editor shows the whole text all the same,
        // and the element keeps its rectangle (ElementRect()).
        label->SetWholeText(true);
        label->Clicks.OnDblClick = Dispatch(&IElementHandlers::ElementDblClick);
        label->Clicks.OnClick = Dispatch(&IElementHandlers::ElementClick);
    } else {
        label->SetSunken(false);
        label->SetAutoSize(true);
    }
    return label;
}

ElementTrackBar* PanelViews::CreateSliderTrack(const QString& Prefix, int Index, int ALeft, int ATop,
                                               int AWidth, int AHeight) {
    if (!SlotExists(KindTrack, Index))
        return nullptr;
    GrowTo(Quel_Slider_Track, Index + 1);
    DestroyControl(Entry(Quel_Slider_Track, Index));
    TES_Track& rec = m_records.ES_Tracks[size_t(Index)];
    rec.sEnabled = true;

    auto* track = new ElementTrackBar;
    SetUpControl(track, Prefix, Index, QRect(ALeft, ATop, AWidth, AHeight));
    track->SetSteps(rec.sSteps);
    track->setValue(0);
    track->SetVertical(rec.sOrient == 1); // sRevers is not consulted
    Quel_Slider_Track[size_t(Index)] = track;
    // Only now: setting the slider up sends nothing to the controller.
    QObject::connect(track, &QSlider::valueChanged, track,
                     [track, h = Dispatch(&IElementHandlers::SliderChange)](int) { h(track); });
    return track;
}

// ---- insertion, element views ----

PanelViews::InsertBatch::InsertBatch(PanelViews& views) : m_views(views), m_owner(!views.m_batching) {
    if (!m_owner)
        return;
    m_views.m_batching = true;
    m_views.m_freeFrom.fill(0);
    m_views.m_batchWindowed.clear();
    for (QObject* o : m_views.m_window->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w && !w->isWindow() && !IsGraphicControl(w))
            m_views.m_batchBefore.emplace_back(w);
    }
}

// The graphic controls inserted meanwhile went on top in order. The windowed
// children the window had go above them, then the windowed controls of the
// batch join the window in order: as if each control had been inserted on
// its own.
PanelViews::InsertBatch::~InsertBatch() {
    if (!m_owner)
        return;
    m_views.m_batching = false;
    for (const QPointer<QWidget>& w : std::exchange(m_views.m_batchBefore, {}))
        if (w && w->parentWidget() == m_views.m_window)
            w->raise();
    for (const QPointer<QWidget>& w : std::exchange(m_views.m_batchWindowed, {}))
        if (w && !w->parentWidget()) {
            w->setParent(m_views.m_window);
            w->show();
        }
}

// Graphic controls lie below every windowed child, so the lowest windowed
// child is the first widget above the graphic ones. It stays so while children
// join on top, so it is remembered; the window's children are walked again
// only once it has moved in the stacking order, left the window or gone.
class PanelViews::StackWatch : public QObject {
public:
    QWidget* Lowest() const { return m_lowest.data(); }
    void Watch(QWidget* w) {
        if (m_lowest)
            m_lowest->removeEventFilter(this);
        m_lowest = w;
        if (w)
            w->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type t = event->type();
        if (watched == m_lowest && (t == QEvent::ZOrderChange || t == QEvent::ParentChange))
            Watch(nullptr);
        return false;
    }

private:
    QPointer<QWidget> m_lowest;
};

QWidget* PanelViews::LowestWindowedChild() {
    if (QWidget* known = m_stackWatch->Lowest(); known && known->parentWidget() == m_window)
        return known;
    QWidget* lowest = nullptr;
    for (QObject* o : m_window->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w && !w->isWindow() && !IsGraphicControl(w)) {
            lowest = w;
            break;
        }
    }
    m_stackWatch->Watch(lowest);
    return lowest;
}

void PanelViews::InsertControl(QWidget* control, qint64 insertion) {
    if (!control)
        return;
    control->setProperty(kInsertionProperty, insertion > 0 ? insertion : ++m_insertions);
    if (m_batching && insertion <= 0) {
        // Stacked at the end of the batch; the windowed controls join the
        // window only then.
        if (!IsGraphicControl(control)) {
            m_batchWindowed.emplace_back(control);
            return;
        }
        control->setParent(m_window);
        control->show();
        return;
    }
    control->setParent(m_window);
    if (insertion > 0) {
        // Below the first control of its group inserted after it.
        QWidget* next = nullptr;
        qint64 nextInsertion = 0;
        const bool graphic = IsGraphicControl(control);
        for (QObject* o : m_window->children()) {
            auto* w = qobject_cast<QWidget*>(o);
            if (!w || w == control || w->isWindow() || IsGraphicControl(w) != graphic)
                continue;
            const qint64 n = w->property(kInsertionProperty).toLongLong();
            if (n > insertion && (!next || n < nextInsertion)) {
                next = w;
                nextInsertion = n;
            }
        }
        // The lowest windowed child may be another one now.
        m_stackWatch->Watch(nullptr);
        if (next) {
            control->stackUnder(next);
            control->show();
            return;
        }
    }
    if (IsGraphicControl(control)) {
        if (QWidget* lowestWindowed = LowestWindowedChild())
            control->stackUnder(lowestWindowed);
        else
            control->raise();
    } else {
        control->raise();
    }
    control->show();
}

QWidget* PanelViews::CreateElementViews(int kind, int slot, const QRect& r, qint64 insertion) {
    if (!SlotExists(kind, slot))
        return nullptr;
    const int x = r.x(), y = r.y(), w = r.width(), h = r.height();
    // A shape is inserted just before its picture: one number below it.
    const qint64 shapeAt = insertion > 1 ? insertion - 1 : 0;
    QWidget* principal = nullptr;
    switch (kind) {
    case KindButton:
        InsertControl(principal = CreateButtonPanel(PrefixButtonPanel, slot, x, y, w, h), insertion);
        break;
    case KindDSign:
        if (m_editMode)
            InsertControl(CreateSignDShape(PrefixSignDShape, slot, x, y, w, h), shapeAt);
        InsertControl(principal = CreateSignDImage(PrefixSignDImage, slot, x, y, w, h), insertion);
        break;
    case KindASign:
        if (m_editMode)
            InsertControl(CreateSignAShape(PrefixSignAShape, slot, x, y, w, h), shapeAt);
        InsertControl(principal = CreateSignAImage(PrefixSignAImage, slot, x, y, w, h), insertion);
        break;
    case KindText:
        InsertControl(principal = CreateTextLabel(PrefixText, slot, x, y, w, h), insertion);
        break;
    case KindTrack:
        if (m_editMode) {
            InsertControl(CreateSliderShape(PrefixSliderShape, slot, x, y, w, h), shapeAt);
            InsertControl(principal = CreateSliderImage(PrefixSliderImage, slot, x, y, w, h), insertion);
        } else {
            InsertControl(principal = CreateSliderTrack(PrefixSliderTrack, slot, x, y, w, h), insertion);
        }
        break;
    default:
        break;
    }
    return principal;
}

qint64 PanelViews::InsertionOf(int kind, int slot) const {
    const QWidget* principal = PrincipalControl(kind, slot);
    return principal ? principal->property(kInsertionProperty).toLongLong() : 0;
}

bool PanelViews::OthersInsertedBetween(int kind, int slot, qint64 from, qint64 to) const {
    const QWidget* self = PrincipalControl(kind, slot);
    const bool graphic = kind != KindButton && kind != KindText && m_editMode;
    for (int k = 0; k < ElementKindCount; ++k) {
        const bool kGraphic = k != KindButton && k != KindText && m_editMode;
        if (kGraphic != graphic)
            continue;
        for (int i = 0; i < m_records.Count(k); ++i) {
            const QWidget* w = PrincipalControl(k, i);
            if (!w || w == self)
                continue;
            const qint64 n = w->property(kInsertionProperty).toLongLong();
            if (n > std::min(from, to) && n < std::max(from, to))
                return true;
        }
    }
    return false;
}

void PanelViews::EnsureSlot(int kind, int slot) {
    if (!IsElementKind(kind))
        return;
    while (m_records.Count(kind) <= slot)
        m_records.Append(kind);
    SyncArrays(kind);
}

void PanelViews::TruncateSlots(int kind, int count) {
    if (!IsElementKind(kind))
        return;
    for (int slot = count; slot < m_records.Count(kind); ++slot)
        DestroyElementControls(kind, slot);
    m_records.Truncate(kind, count);
    auto cut = [count](auto& array) {
        if (int(array.size()) > count)
            array.resize(size_t(count));
    };
    switch (kind) {
    case KindButton:
        cut(Quel_Button_Panel);
        cut(Quel_Button_Image);
        break;
    case KindDSign:
        cut(Quel_SignD_Shape);
        cut(Quel_SignD_Image);
        break;
    case KindASign:
        cut(Quel_SignA_Shape);
        cut(Quel_SignA_Image);
        break;
    case KindText:
        cut(Quel_Text);
        break;
    default:
        cut(Quel_Slider_Shape);
        cut(Quel_Slider_Image);
        cut(Quel_Slider_Track);
        break;
    }
}

// ---- destruction ----

void PanelViews::DestroyControl(QWidget* control) {
    if (!control)
        return;
    m_freeFrom.fill(0);
    control->hide();
    // Inside an element handler the control may be the one whose event is
    // being handled: it leaves the window now and is deleted once the event is
    // done. Otherwise it is deleted at once; leaving the window first would walk
    // the window's whole focus chain for every control.
    if (m_dispatchDepth > 0) {
        control->setParent(nullptr);
        control->deleteLater();
    } else {
        delete control;
    }
}

void PanelViews::DestroyElementControls(int kind, int slot) {
    switch (kind) {
    case KindButton:
        DestroyControl(Entry(Quel_Button_Image, slot));
        ClearEntry(Quel_Button_Image, slot);
        DestroyControl(Entry(Quel_Button_Panel, slot));
        ClearEntry(Quel_Button_Panel, slot);
        break;
    case KindDSign:
        DestroyControl(Entry(Quel_SignD_Image, slot));
        ClearEntry(Quel_SignD_Image, slot);
        DestroyControl(Entry(Quel_SignD_Shape, slot));
        ClearEntry(Quel_SignD_Shape, slot);
        break;
    case KindASign:
        DestroyControl(Entry(Quel_SignA_Image, slot));
        ClearEntry(Quel_SignA_Image, slot);
        DestroyControl(Entry(Quel_SignA_Shape, slot));
        ClearEntry(Quel_SignA_Shape, slot);
        break;
    case KindText:
        DestroyControl(Entry(Quel_Text, slot));
        ClearEntry(Quel_Text, slot);
        break;
    case KindTrack:
        DestroyControl(Entry(Quel_Slider_Image, slot));
        ClearEntry(Quel_Slider_Image, slot);
        DestroyControl(Entry(Quel_Slider_Shape, slot));
        ClearEntry(Quel_Slider_Shape, slot);
        DestroyControl(Entry(Quel_Slider_Track, slot));
        ClearEntry(Quel_Slider_Track, slot);
        break;
    default:
        break;
    }
}

void PanelViews::ClearAll() {
    // No repainting of the window for every control that goes: once at the end.
    const bool updates = m_window->updatesEnabled();
    m_window->setUpdatesEnabled(false);
    DestroyAllControls();
    m_window->setUpdatesEnabled(updates);
}

void PanelViews::DestroyAllControls() {
    // A child leaves its parent's list of children by a search from the front
    // and a removal that moves every child after it, except the first child,
    // which goes at no cost. So each element control, once hidden, is lowered
    // to be the window's first child (past the few other children before it)
    // and then deleted.
    std::vector<std::pair<QPointer<QWidget>, ElementRef>> controls;
    for (QObject* o : m_window->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        const ElementRef ref = ElementOf(w);
        if (w && ref.IsElement())
            controls.emplace_back(w, ref);
    }
    for (const auto& [control, ref] : controls) {
        QWidget* w = control.data();
        if (!w || w->parentWidget() != m_window)
            continue;
        auto clearOwnEntry = [&, ref = ref](auto& array) {
            if (Entry(array, ref.Slot) == w)
                ClearEntry(array, ref.Slot);
        };
        clearOwnEntry(Quel_Button_Image);
        clearOwnEntry(Quel_Button_Panel);
        clearOwnEntry(Quel_SignD_Shape);
        clearOwnEntry(Quel_SignD_Image);
        clearOwnEntry(Quel_SignA_Shape);
        clearOwnEntry(Quel_SignA_Image);
        clearOwnEntry(Quel_Text);
        clearOwnEntry(Quel_Slider_Shape);
        clearOwnEntry(Quel_Slider_Image);
        clearOwnEntry(Quel_Slider_Track);
        w->hide();
        w->lower();
        DestroyControl(w);
    }
    // Controls created but never inserted are destroyed as well.
    auto destroyAll = [this](auto& array) {
        for (auto& p : array)
            DestroyControl(p.data());
        array.clear();
    };
    destroyAll(Quel_Button_Image);
    destroyAll(Quel_Button_Panel);
    destroyAll(Quel_SignD_Shape);
    destroyAll(Quel_SignD_Image);
    destroyAll(Quel_SignA_Shape);
    destroyAll(Quel_SignA_Image);
    destroyAll(Quel_Text);
    destroyAll(Quel_Slider_Shape);
    destroyAll(Quel_Slider_Image);
    destroyAll(Quel_Slider_Track);
}

// ---- lookup ----

ElementRef PanelViews::ElementOf(const QObject* control) {
    ElementRef ref;
    if (!control)
        return ref;
    const QString name = control->objectName();
    int slot = -1;
    auto match = [&](const char* prefix, int kind) {
        if (!SlotFromName(name, prefix, &slot))
            return false;
        ref.Kind = kind;
        ref.Slot = slot;
        return true;
    };
    if (qobject_cast<const ElementPanel*>(control)) {
        match(PrefixButtonPanel, KindButton);
    } else if (qobject_cast<const ElementPicture*>(control)) {
        match(PrefixButtonPanel, KindButton) || match(PrefixSignDImage, KindDSign) ||
            match(PrefixSignAImage, KindASign) || match(PrefixSliderImage, KindTrack);
    } else if (qobject_cast<const ElementShape*>(control)) {
        match(PrefixSignDShape, KindDSign) || match(PrefixSignAShape, KindASign) ||
            match(PrefixSliderShape, KindTrack);
    } else if (qobject_cast<const ElementStaticText*>(control)) {
        match(PrefixText, KindText);
    } else if (qobject_cast<const ElementTrackBar*>(control)) {
        match(PrefixSliderTrack, KindTrack);
    }
    return ref;
}

QRect PanelViews::ElementRect(const QWidget* control) {
    if (const auto* label = qobject_cast<const ElementStaticText*>(control))
        return QRect(label->pos(), label->ElementSize());
    return control ? control->geometry() : QRect();
}

std::vector<PanelElementPlace> PanelViews::ElementsInSaveOrder() const {
    struct Item {
        bool windowed;
        qint64 insertion;
        PanelElementPlace place;
    };
    std::vector<Item> items;
    for (QObject* o : m_window->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w->isWindow())
            continue;
        const ElementRef ref = ElementOf(w);
        if (!ref.IsElement())
            continue;
        // Shapes and track bars are not saved; the element is its panel,
        // picture or static text.
        if (qobject_cast<ElementShape*>(w) || qobject_cast<ElementTrackBar*>(w))
            continue;
        if (qobject_cast<ElementPicture*>(w) && ref.Kind == KindButton)
            continue;
        items.push_back({!IsGraphicControl(w), w->property(kInsertionProperty).toLongLong(),
                         PanelElementPlace{ref.Kind, ref.Slot, ElementRect(w)}});
    }
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
        if (a.windowed != b.windowed)
            return !a.windowed;
        return a.insertion < b.insertion;
    });
    std::vector<PanelElementPlace> out;
    out.reserve(items.size());
    for (const Item& i : items)
        out.push_back(i.place);
    return out;
}

// ---- run-mode pictures ----

ElementPicture* PanelViews::StatePicture(int kind, int slot) const {
    switch (kind) {
    case KindButton:
        return Entry(Quel_Button_Image, slot);
    case KindDSign:
        return Entry(Quel_SignD_Image, slot);
    case KindASign:
        return Entry(Quel_SignA_Image, slot);
    default:
        return nullptr;
    }
}

bool PanelViews::LoadPictureFile(ElementPicture* picture, const QString& path) {
    if (!picture)
        return false;
    const QFileInfo info(path); // exists() follows symbolic links
    const QImage image =
        path.isEmpty() || !info.exists() || !info.isFile() ? QImage() : PictureCache::ReadPictureFile(path);
    if (image.isNull()) {
        picture->ClearPicture();
        return false;
    }
    picture->SetPicture(image);
    return true;
}

// A picture already showing the file's current content is left alone, so an
// element whose state did not change is not drawn again.
void PanelViews::ShowPictureFile(ElementPicture* picture, const QString& path) {
    if (!picture)
        return;
    const QImage image = m_pictures.Picture(path);
    if (image.isNull()) {
        if (picture->HasPicture())
            picture->ClearPicture();
    } else if (picture->Picture().cacheKey() != image.cacheKey()) {
        picture->SetPicture(image);
    }
}

void PanelViews::ShowDigital(int kind, int slot, bool state) {
    if (slot < 0)
        return;
    if (kind == KindButton && slot < int(m_records.ES_Buttons.size()))
        ShowPictureFile(StatePicture(kind, slot),
                        SelectDigitalPicture(m_records.ES_Buttons[size_t(slot)], state));
    else if (kind == KindDSign && slot < int(m_records.ES_DSigns.size()))
        ShowPictureFile(StatePicture(kind, slot),
                        SelectDigitalPicture(m_records.ES_DSigns[size_t(slot)], state));
}

void PanelViews::ShowAnalog(int slot, float value) {
    if (slot < 0 || slot >= int(m_records.ES_ASigns.size()))
        return;
    ShowPictureFile(StatePicture(KindASign, slot),
                    SelectAnalogPicture(m_records.ES_ASigns[size_t(slot)], value));
}

void PanelViews::ClearPicture(int kind, int slot) {
    ElementPicture* p = StatePicture(kind, slot);
    if (p && p->HasPicture())
        p->ClearPicture();
}

} // namespace quelnet
