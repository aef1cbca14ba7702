#include "gui/panel/ElementClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace quelnet {

void CopyElementToClipboard(const ElementCopy& element) {
    const QString block = FormatElementBlock(element);
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(ElementMimeType), block.toUtf8());
    mime->setText(block);
    QGuiApplication::clipboard()->setMimeData(mime);
}

std::optional<ElementCopy> ElementOnClipboard() {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (!mime)
        return std::nullopt;
    const QString own = QString::fromLatin1(ElementMimeType);
    if (mime->hasFormat(own))
        return ParseElementBlock(QString::fromUtf8(mime->data(own)));
    if (mime->hasText())
        return ParseElementBlock(mime->text());
    return std::nullopt;
}

} // namespace quelnet
