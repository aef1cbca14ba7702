#include "core/firmware/FirmwarePackage.h"

#include "core/firmware/ImageBuilder.h"

namespace quelnet {

PackageReader& ProcessPackage() {
    static PackageReader reader = PackageReader::OfRunningProgram();
    return reader;
}

DataFlashImage& ProcessDataFlashImage() {
    static DataFlashImage image;
    return image;
}

bool OpenPackage() {
    return ProcessPackage().Open();
}

bool ReadPackageEntry(int index, TPackageEntry& entry) {
    return ProcessPackage().ReadEntry(index, entry);
}

QStringList GetPackageLanguages(const QString& version) {
    return ProcessPackage().Languages(version);
}

QStringList GetPackageFiles(const QString& lang, const QString& version, int& count) {
    const QStringList names = ProcessPackage().Files(lang, version);
    count = int(names.size());
    return names;
}

qint32 ExtractPackageFile(const QString& fileName, int idx, const QString& lang, const QString& version,
                          QByteArray& buffer) {
    return ProcessPackage().Extract(fileName, idx, lang, version, buffer);
}

bool PlaceImageFile(int slot, const QByteArray& data, const QString& version, int& free) {
    return ProcessDataFlashImage().PlaceFile(slot, data, version, free);
}

bool BuildDataFlashImage(const QString& lang, const QString& version, int& free,
                         const TUser_Resource* resource) {
    return BuildDataFlashImage(ProcessPackage(), ProcessDataFlashImage(), lang, version, free, resource);
}

} // namespace quelnet
