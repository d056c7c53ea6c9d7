#pragma once

// The output folder of the disc: files written under relative paths (forward slashes), folders
// created on the way, and stand-in programs for the Windows executables the navigator starts.

#include <QByteArray>
#include <QString>
#include <QStringList>

class DiscTree {
 public:
  explicit DiscTree(QString root) : root_(std::move(root)) {}

  const QString& Root() const { return root_; }
  QString Path(const QString& relative) const { return root_ + '/' + relative; }

  // Writes bytes; false (with the path in Errors()) when the file cannot be written.
  bool Write(const QString& relative, const QByteArray& bytes);

  // A small shell script, run bit set whatever the extension, standing in for a Windows program:
  // it records how it was started to $QUARX_STANDIN_LOG when set, otherwise tells the user
  // which program this is.
  bool WriteStandIn(const QString& relative, const QString& label);

  bool MakeFolder(const QString& relative);

  const QStringList& Errors() const { return errors_; }
  void AddError(const QString& error) { errors_.append(error); }

 private:
  QString root_;
  QStringList errors_;
};

// The shell script text of a stand-in program (exposed for the tests).
QByteArray StandInScript(const QString& label);
