#include "core/jobs/AreaFiles.h"

#include "core/base/FileReplace.h"
#include "core/base/InterfaceTexts.h"

#include <QFile>

namespace quelnet {

AreaFileError ReadAreaFile(const QString& path, int size, QByteArray& bytes) {
    if (!QFile::exists(path))
        return AreaFileError::Missing;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return AreaFileError::CannotOpen;
    QByteArray read = file.read(size);
    if (read.size() != size)
        return AreaFileError::CannotRead;
    bytes = read;
    return AreaFileError::None;
}

AreaFileError WriteAreaFile(const QString& path, const QByteArray& bytes) {
    switch (ReplaceFileContent(path, bytes)) {
    case FileReplaceResult::Written:
        return AreaFileError::None;
    case FileReplaceResult::CannotCreate:
        return AreaFileError::CannotCreate;
    case FileReplaceResult::CannotWrite:
        break;
    }
    return AreaFileError::CannotWrite;
}

QString AreaFileErrorText(AreaFileError error) {
    switch (error) {
    case AreaFileError::None:
        return {};
    case AreaFileError::Missing:
        return Pl(lt::FileMissing);
    case AreaFileError::CannotOpen:
        return Pl(lt::CannotOpenFile);
    case AreaFileError::CannotRead:
        return Pl(lt::CannotReadFile);
    case AreaFileError::CannotCreate:
        return Pl(lt::CannotCreateFile);
    case AreaFileError::CannotWrite:
        return Pl(lt::CannotWriteFile);
    }
    return {};
}

} // namespace quelnet
