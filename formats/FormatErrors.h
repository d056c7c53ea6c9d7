#pragma once

// The errors the disc file readers raise. Each carries the text the catching caller or the
// user sees; what() gives it in UTF-8.

#include <QString>
#include <stdexcept>

class EFormatError : public std::runtime_error {
 public:
  explicit EFormatError(const QString& message)
      : std::runtime_error(message.toUtf8().toStdString()), message_(message) {}
  const QString& Message() const noexcept { return message_; }

 private:
  QString message_;
};

// A file that cannot be opened for reading ("Cannot open file ...").
class EFOpenError : public EFormatError {
 public:
  using EFormatError::EFormatError;
  static EFOpenError ForFile(const QString& fileName) {
    return EFOpenError(QStringLiteral("Cannot open file \"%1\"").arg(fileName));
  }
};

// Corrupt compressed data, a short read, or a stream operation the inflater cannot do.
class EInflateError : public EFormatError {
 public:
  using EFormatError::EFormatError;
};

// A bitmap container that cannot be used ("Arquivo ... não encontrado ou defeituoso.").
class EBmrError : public EFormatError {
 public:
  using EFormatError::EFormatError;
};
