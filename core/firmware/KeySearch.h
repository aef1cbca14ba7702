#pragma once
// The first whole occurrence of a key in a file's bytes.
#include <QByteArrayView>
#include <QtGlobal>

namespace quelnet {

// First position p in [from, to) at which `key` (at least 1 byte) starts and
// lies whole within `data`; -1 when there is none. `widest` false keeps to the
// search every x86-64 processor has (for the tests of both).
qint64 FindKey(QByteArrayView data, qint64 from, qint64 to, QByteArrayView key, bool widest = true);

} // namespace quelnet
