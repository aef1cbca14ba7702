#include "link/UCommonForm.h"

namespace quelnet {

TfmCommon::TfmCommon(QObject* parent) : QObject(parent) { setObjectName("fmCommon"); }

TfmCommon::~TfmCommon() = default;

void TfmCommon::EndComm() {}

} // namespace quelnet
