#pragma once

// The errors the disc file readers raise, below the programs' common exception root.

#include <QString>

#include "common/Exceptions.h"

// A file that cannot be opened for reading.
class EFOpenError : public Exception {
 public:
  using Exception::Exception;
  static EFOpenError ForFile(const QString& fileName) {
    return EFOpenError(QStringLiteral("Cannot open file \"%1\"").arg(fileName));
  }
};

// Corrupt compressed data, a short read, or a stream operation the inflater cannot do.
class EInflateError : public Exception {
 public:
  using Exception::Exception;
};

// A bitmap container that cannot be used ("Arquivo ... não encontrado ou defeituoso.").
class EBmrError : public Exception {
 public:
  using Exception::Exception;
};
