#include "core/panel/PictureRules.h"

namespace quelnet {

const QString& SelectDigitalPicture(const TES_Button& rec, bool state) {
    return state ? rec.sI_ImgH : rec.sI_ImgL;
}
const QString& SelectDigitalPicture(const TES_DSign& rec, bool state) {
    return state ? rec.sI_ImgH : rec.sI_ImgL;
}

int AnalogLevelReached(const TES_ASign& rec, float value) {
    // NaN compares false with every level and falls through to the default.
    for (int i = AnalogLevelCount - 1; i >= 0; --i)
        if (value > rec.sI_Lev[i])
            return i;
    return -1;
}

const QString& SelectAnalogPicture(const TES_ASign& rec, float value) {
    const int level = AnalogLevelReached(rec, value);
    return level < 0 ? rec.sI_ImgD : rec.sI_Img[level];
}

} // namespace quelnet
