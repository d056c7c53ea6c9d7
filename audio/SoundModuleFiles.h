#pragma once

#include <QString>

// Host path of a wave's file name: Windows paths ("D:\...") go through the drive map, host
// paths stand as they are.
QString HostPathOf(const QString& fileName);
