// Never part of a build: layers.core_cannot_include_widgets compiles it against
// the core alone, to show that a widget header cannot be reached from the core.
#include <QWidget>

int quelnetCoreLayerProbe() { return sizeof(QWidget); }
