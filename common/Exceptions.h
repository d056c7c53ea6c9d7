#pragma once

// The root of the programs' exception classes (the E... classes), and the toolkit's own list
// and resource errors. Each carries the text the user or the catching caller sees; what()
// gives it in UTF-8. Derive the classes of a unit from Exception:
//   class EWaveMixError : public Exception { using Exception::Exception; };
// Exceptions are caught before they could cross Qt's event dispatch, an audio callback or a
// C library callback.

#include <QByteArray>
#include <QString>
#include <exception>

class Exception : public std::exception {
 public:
  explicit Exception(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}
  const QString& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return utf8_.constData(); }

 private:
  QString message_;
  QByteArray utf8_;
};

// An index that a list rejects ("List index out of bounds (%d)").
class EListError : public Exception {
 public:
  using Exception::Exception;
  static EListError IndexOutOfBounds(int index) {
    return EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
  }
};

// A system object refused to take more ("Unable to insert a line").
class EOutOfResources : public Exception {
 public:
  using Exception::Exception;
};
