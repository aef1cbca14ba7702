#include "gui/toolbox/PaletteList.h"

#include "core/base/InterfaceTexts.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>

namespace quelnet {

namespace {

void execDrag(QDrag* drag) {
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

struct PaletteItem {
    const TLangText* caption;
    const char* icon;
};

const PaletteItem Items[] = {
    {&lt::PaletteButton, ":/toolbox/button.png"}, {&lt::PaletteDSign, ":/toolbox/dsign.png"},
    {&lt::PaletteASign, ":/toolbox/asign.png"},   {&lt::PaletteText, ":/toolbox/text.png"},
    {&lt::PaletteTrack, ":/toolbox/track.png"},
};

} // namespace

PaletteList::PaletteList(QWidget* parent) : QListWidget(parent) {
    setViewMode(QListView::IconMode);
    setIconSize(QSize(32, 32));
    setGridSize(QSize(135, 60));
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
}

void PaletteList::Rebuild() {
    setUpdatesEnabled(false);
    clear();
    for (const PaletteItem& p : Items)
        addItem(new QListWidgetItem(QIcon(QString::fromLatin1(p.icon)), Pl(*p.caption)));
    clearSelection();
    setCurrentRow(-1);
    setUpdatesEnabled(true);
}

PaletteList::DragRunner& PaletteList::Runner() {
    static DragRunner runner = execDrag;
    return runner;
}

void PaletteList::RestoreDefaultRunner() {
    Runner() = execDrag;
}

int PaletteList::SelectedIndex() const {
    const QModelIndexList selected =
        selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void PaletteList::startDrag(Qt::DropActions) {
    m_pressedOnEmpty = false;
    const int index = SelectedIndex();
    emit DragStarting(index);

    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(PaletteMimeType), QByteArray::number(index));
    QPointer<QDrag> drag = new QDrag(this);
    drag->setMimeData(mime);
    if (index >= 0)
        drag->setPixmap(item(index)->icon().pixmap(iconSize()));
    Runner()(drag);
    if (drag)
        drag->deleteLater();
}

void PaletteList::mousePressEvent(QMouseEvent* event) {
    QListWidget::mousePressEvent(event);
    m_pressPos = event->position().toPoint();
    m_pressedOnEmpty = event->button() == Qt::LeftButton && !itemAt(m_pressPos);
    if (m_pressedOnEmpty)
        clearSelection(); // as in a native list view: a press beside the items selects none
}

void PaletteList::mouseMoveEvent(QMouseEvent* event) {
    if (m_pressedOnEmpty && (event->buttons() & Qt::LeftButton) &&
        (event->position().toPoint() - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        startDrag(Qt::CopyAction);
        return;
    }
    QListWidget::mouseMoveEvent(event);
}

QStringList PaletteList::mimeTypes() const {
    return {QString::fromLatin1(PaletteMimeType)};
}

QMimeData* PaletteList::mimeData(const QList<QListWidgetItem*>& items) const {
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(PaletteMimeType),
                  QByteArray::number(items.isEmpty() ? -1 : row(items.first())));
    return mime;
}

bool IsPaletteSource(const QObject* source) {
    return qobject_cast<const PaletteList*>(source) != nullptr;
}

} // namespace quelnet
