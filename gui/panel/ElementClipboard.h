#pragma once
// Elements on the system clipboard: in a MIME type of this program's own (the
// element's panel-file block in UTF-8) and as plain text (the same block), so
// that another running editor can paste the element and a text editor shows
// what the panel file would hold.

#include "core/panel/ElementBlock.h"

#include <optional>

namespace quelnet {

inline constexpr const char* ElementMimeType = "application/x-quelnet-element";

void CopyElementToClipboard(const ElementCopy& element);
// The element on the clipboard: from the program's own MIME type, else from
// plain text that holds exactly one element block.
std::optional<ElementCopy> ElementOnClipboard();

} // namespace quelnet
