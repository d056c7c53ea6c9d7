#include "common/Environment.h"

#include <QRegularExpression>

Environment& Env() {
  static Environment env;
  return env;
}

bool ParseScreenSpec(const QString& spec, EnvironmentOptions& options) {
  static const QRegularExpression re(QStringLiteral("^(\\d{1,5})x(\\d{1,5})(?:x(\\d{1,2}))?$"));
  const auto m = re.match(spec.trimmed().toLower());
  if (!m.hasMatch()) return false;
  const int w = m.captured(1).toInt();
  const int h = m.captured(2).toInt();
  const int bits = m.captured(3).isEmpty() ? 32 : m.captured(3).toInt();
  if (w <= 0 || h <= 0 || bits <= 0 || bits > 32) return false;
  options.screenWidth = w;
  options.screenHeight = h;
  options.colourDepth = bits;
  return true;
}
