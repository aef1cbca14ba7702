// Never part of a build: the tests compile it against the core's include path
// to prove that a widget header cannot be reached from the core.
#include <QWidget>

int quelnetCoreLayerProbe() { return sizeof(QWidget); }
