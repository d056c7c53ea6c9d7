#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QTextStream>
#include <cstdio>

#include "tools/quarxtool/Tool.h"

namespace quarxtool {

void PrintJson(const QJsonObject& object) {
  const QByteArray json = QJsonDocument(object).toJson(QJsonDocument::Indented);
  std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
}

void PrintError(const QString& text) {
  const QByteArray bytes = text.toUtf8() + '\n';
  std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

int Usage(const QString& text) {
  if (!text.isEmpty()) PrintError(text);
  PrintError(
      QStringLiteral("usage: quarxtool catalogue SHAREDIR [--depth BITS]\n"
                     "       quarxtool dem FILE [--depth BITS]\n"
                     "       quarxtool picture FILE (--logo | --image K) [--depth BITS] OUT\n"
                     "       quarxtool bmr list FILE\n"
                     "       quarxtool bmr extract FILE NAME OUT\n"
                     "       quarxtool bpk info FILE\n"
                     "       quarxtool bpk frame FILE INDEX OUT\n"
                     "       quarxtool bpk extract FILE OUTDIR\n"
                     "OUT ends in .png or .bmp; the depth (default 24) chooses the picture set."));
  return kUsage;
}

QString PictureKind(const QString& path) {
  const QString lower = path.toLower();
  if (lower.endsWith(QLatin1String(".png"))) return QStringLiteral(".png");
  if (lower.endsWith(QLatin1String(".bmp"))) return QStringLiteral(".bmp");
  return {};
}

bool WritePicture(const QImage& image, const QString& path) {
  const QString kind = PictureKind(path);
  if (kind.isEmpty()) return false;
  return image.save(path, kind == QLatin1String(".png") ? "PNG" : "BMP");
}

bool WriteBytes(const QByteArray& bytes, const QString& path) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

namespace {

// Takes the options out of the arguments; false on a malformed option.
bool ParseOptions(QStringList in, Args& args, QString& error) {
  for (qsizetype i = 0; i < in.size(); ++i) {
    const QString& a = in[i];
    auto number = [&](int& out, int min) {
      bool ok = false;
      if (i + 1 < in.size()) out = in[++i].toInt(&ok);
      if (!ok || out < min) error = QStringLiteral("bad value for %1").arg(a);
      return ok && out >= min;
    };
    if (a == QLatin1String("--depth")) {
      if (!number(args.depth, 1)) return false;
    } else if (a == QLatin1String("--image")) {
      if (!number(args.image, 1)) return false;
    } else if (a == QLatin1String("--logo")) {
      args.logo = true;
    } else if (a.startsWith(QLatin1String("--"))) {
      error = QStringLiteral("unknown option %1").arg(a);
      return false;
    } else {
      args.positional << a;
    }
  }
  return true;
}

}  // namespace
}  // namespace quarxtool

int main(int argc, char** argv) {
  using namespace quarxtool;
  QCoreApplication app(argc, argv);
  QStringList all = app.arguments().mid(1);
  if (all.isEmpty() || all[0] == QLatin1String("--help") || all[0] == QLatin1String("-h"))
    return Usage();
  const QString command = all.takeFirst();
  Args args;
  QString error;
  if (!ParseOptions(all, args, error)) return Usage(error);
  if (command == QLatin1String("catalogue")) return Catalogue(args);
  if (command == QLatin1String("dem")) return Dem(args);
  if (command == QLatin1String("picture")) return Picture(args);
  if (command == QLatin1String("bmr")) return Bmr(args);
  if (command == QLatin1String("bpk")) return Bpk(args);
  return Usage(QStringLiteral("unknown command %1").arg(command));
}
