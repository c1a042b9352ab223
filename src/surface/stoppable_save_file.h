// A file written whole or not at all (QSaveFile: a temporary file renamed
// over the target by commit()) that also gives up when the stop request
// of its thread is set (common/stop_request.h): the next write fails and
// commit() then discards the temporary file, so a stopped writer leaves
// whatever was there before.
#pragma once

#include "common/stop_request.h"

#include <QSaveFile>

namespace quillet::surface {

class StoppableSaveFile : public QSaveFile {
public:
    using QSaveFile::QSaveFile;

protected:
    qint64 writeData(const char* data, qint64 length) override
    {
        if (StopScope::requested()) {
            cancelWriting();
            return -1;
        }
        return QSaveFile::writeData(data, length);
    }
};

} // namespace quillet::surface
