#include "core/firmware/ImageBuilder.h"

namespace quelnet {

namespace {

enum class Fetch { Ok, Skip, Fail };

// CPU program images travel in the group but are not DataFlash files.
bool IsProgramImage(const QString& name) {
    return name.contains(QLatin1String("IP_QueL"));
}

// The bytes for one name: the user's substitute when it can be read, else the
// package file. An empty package file takes no slot.
Fetch FetchFile(PackageReader& package, const QString& name, const QString& lang, const QString& version,
                const TUser_Resource* resource, QByteArray& buffer) {
    if (resource) {
        const QString path = SubstitutePath(*resource, name);
        if (!path.isEmpty() && LoadFileToBuffer(path, buffer) < 0)
            return Fetch::Fail;
        if (!buffer.isEmpty())
            return Fetch::Ok;
    }
    TPackageEntry entry;
    if (!package.FindEntry(name, -1, lang, version, entry))
        return Fetch::Fail;
    if (entry.Size == 0)
        return package.HoldsEmptyFile(entry) ? Fetch::Skip : Fetch::Fail;
    return package.ExtractEntry(entry, buffer) > 0 ? Fetch::Ok : Fetch::Fail;
}

} // namespace

bool BuildDataFlashImage(PackageReader& package, DataFlashImage& image, const QString& lang,
                         const QString& version, int& free, const TUser_Resource* resource) {
    free = 0;
    const QStringList names = package.Files(lang, version);
    if (names.isEmpty())
        return false;
    image.Clear();
    int slot = 0;
    bool placed = false;
    for (const QString& name : names) {
        if (IsProgramImage(name))
            continue;
        QByteArray buffer;
        const Fetch fetch = FetchFile(package, name, lang, version, resource, buffer);
        if (fetch == Fetch::Skip)
            continue;
        if (fetch == Fetch::Fail)
            return false;
        placed = image.PlaceFile(slot++, buffer, version, free);
        if (!placed)
            break;
    }
    return placed;
}

QStringList ImageSlotNames(PackageReader& package, const QString& lang, const QString& version) {
    QStringList names;
    for (const QString& name : package.Files(lang, version)) {
        TPackageEntry entry;
        if (!IsProgramImage(name) && package.FindEntry(name, -1, lang, version, entry) && entry.Size > 0)
            names << name;
    }
    return names;
}

} // namespace quelnet
