#pragma once
// Controllers and circuits taken from a panel file, so that a panel made in
// the editor is published as it stands: one controller per address and port
// (the password of its first element), named after them; buttons and digital
// indicators give their state circuit (read at its input or output, as the
// element reads it) and their output circuit, analog indicators their circuit,
// sliders an analog output whose range is the slider's. A circuit used by
// several elements is read at the shortest of their periods; an output wins
// over an input of the same name (an output can be read as well as set).

#include "bridge/BridgeConfig.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace quelnet::bridge {

struct PanelImport {
    QList<ControllerConfig> controllers;
    QStringList notes;  // what was left out, and why
    QString error;      // the file could not be read at all
};

PanelImport ImportPanel(const QString& path);

} // namespace quelnet::bridge
