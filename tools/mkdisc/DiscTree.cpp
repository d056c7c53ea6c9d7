#include "tools/mkdisc/DiscTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool DiscTree::MakeFolder(const QString& relative) {
  if (QDir().mkpath(Path(relative))) return true;
  errors_.append("cannot create folder " + Path(relative));
  return false;
}

bool DiscTree::Write(const QString& relative, const QByteArray& bytes) {
  const QString path = Path(relative);
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
    errors_.append("cannot create folder for " + path);
    return false;
  }
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
    errors_.append("cannot write " + path);
    return false;
  }
  return true;
}

QByteArray StandInScript(const QString& label) {
  // The label is ours, but quote it anyway: a quote in it must not end the shell word.
  QString quoted = label;
  quoted.replace('\'', "'\\''");
  const QString text =
      "#!/bin/sh\n"
      "# Stands in for a Windows program of the disc: records how it was started.\n"
      "label='" +
      quoted +
      "'\n"
      "if [ -n \"$QUARX_STANDIN_LOG\" ]; then\n"
      "  {\n"
      "    printf '%s' \"$0\"\n"
      "    for a in \"$@\"; do printf '\\t%s' \"$a\"; done\n"
      "    printf '\\t@%s\\n' \"$(pwd -P)\"\n"
      "  } >> \"$QUARX_STANDIN_LOG\"\n"
      "  exit 0\n"
      "fi\n"
      "msg=\"$label\n\n(programa substituto do disco de exemplo)\n$0 $*\"\n"
      "if [ -n \"$DISPLAY\" ] && command -v xmessage >/dev/null 2>&1; then\n"
      "  xmessage -center -title \"$label\" \"$msg\" &\n"
      "else\n"
      "  printf '%s\\n' \"$msg\"\n"
      "fi\n"
      "exit 0\n";
  return text.toUtf8();
}

bool DiscTree::WriteStandIn(const QString& relative, const QString& label) {
  if (!Write(relative, StandInScript(label))) return false;
  QFile file(Path(relative));
  const auto perms = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                     QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                     QFileDevice::ExeOther;
  if (!file.setPermissions(perms)) {
    errors_.append("cannot set the run bit of " + Path(relative));
    return false;
  }
  return true;
}
