#pragma once

// Opening a disc file without trusting what the name stands for: a pipe or a device named like
// a picture would block the open or never end the read.

#include <QFile>
#include <QString>
#include <memory>

namespace platform {

// hostPath opened for reading when it is (or links to) a regular file; nullptr for a missing
// file, a folder, a pipe, a socket or a device, without blocking on any of them.
std::unique_ptr<QFile> OpenRegularFile(const QString& hostPath, bool unbuffered = false);

// True when hostPath is (or links to) a regular file; for readers that open by path themselves.
bool IsRegularFile(const QString& hostPath);

}  // namespace platform
