// mkdisc OUTDIR: writes the sample disc. mkdisc --iso FILE: the same disc as a disc image.
// mkdisc --preview DIR: PNG pictures of the skin art.

#include <QGuiApplication>
#include <QHashFunctions>
#include <QTemporaryDir>
#include <QTextStream>

#include "tools/discwriter/IsoWriter.h"
#include "tools/mkdisc/MakeDisc.h"

int main(int argc, char** argv) {
  // Hash order leaks into the PDF writer's font subsets; a fixed seed keeps the bytes stable.
  QHashSeed::setDeterministicGlobalSeed();
  // Drawing needs no screen; never try to reach one.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QTextStream err(stderr);
  const QStringList args = app.arguments().mid(1);
  QStringList errors;
  if (args.size() == 1 && !args[0].startsWith('-')) {
    errors = MakeDisc(args[0]);
  } else if (args.size() == 2 && args[0] == "--preview") {
    errors = WritePreview(args[1]);
  } else if (args.size() == 2 && args[0] == "--iso") {
    QTemporaryDir work;
    const QString folder = work.filePath(QStringLiteral("disc"));
    errors = MakeDisc(folder);
    QString error;
    if (errors.isEmpty() && !discwriter::WriteIsoImage(folder, args[1], &error)) errors << error;
  } else {
    err << "usage: mkdisc OUTDIR | mkdisc --iso FILE | mkdisc --preview DIR\n";
    return 2;
  }
  for (const QString& e : errors) err << "mkdisc: " << e << '\n';
  return errors.isEmpty() ? 0 : 1;
}
