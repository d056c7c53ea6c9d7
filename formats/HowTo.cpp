// The installation instructions built from a demo's HowTo text.

#include <algorithm>

#include "formats/DemoFile.h"

namespace {

const QChar kBullet(0x00B7);

void DropTrailingBackslash(QString& path) {
  if (path.endsWith(QLatin1Char('\\'))) path.chop(1);
}

// From the innermost component outwards; a component is the text after the last '\' or ':'.
QStringList PathLines(QString path) {
  QStringList lines;
  DropTrailingBackslash(path);
  while (!path.isEmpty()) {
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char(':')));
    const QString component = path.mid(cut + 1);
    if (component.isEmpty()) {
      lines.append(path);
      break;
    }
    lines.append(kBullet + component);
    path.chop(component.size());
    DropTrailingBackslash(path);
  }
  std::reverse(lines.begin(), lines.end());
  return lines;
}

}  // namespace

HowToText HowToLines(const QString& howTo) {
  const QString marker = howTo.left(4);
  const QString afterInstall = QString::fromUtf8("Após a instalação...");
  HowToText text;
  if (marker.compare(QLatin1String("//mi"), Qt::CaseInsensitive) == 0) {
    text.Lines = {afterInstall, QStringLiteral(" "),
                  kBullet + QString::fromUtf8("Clique no botão Iniciar,"),
                  kBullet + QStringLiteral("Programas,")};
  } else if (marker.compare(QLatin1String("//ex"), Qt::CaseInsensitive) == 0) {
    text.Lines = {afterInstall, QStringLiteral(" "),
                  QStringLiteral("Abra o Explorer e utilize o caminho:")};
  } else if (marker.compare(QLatin1String("//dk"), Qt::CaseInsensitive) == 0) {
    text.Lines = {afterInstall, QString::fromUtf8("Clique no atalho da área de trabalho:"),
                  QStringLiteral(" ")};
  } else {
    text.Lines = {QString::fromUtf8("Não há contexto")};
    text.FirstPathLine = int(text.Lines.size());
    return text;
  }
  text.FirstPathLine = int(text.Lines.size());
  text.Lines.append(PathLines(howTo.mid(4)));
  return text;
}
