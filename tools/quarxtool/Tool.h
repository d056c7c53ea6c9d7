#pragma once

// quarxtool: inspects and extracts what a disc's description files, bitmap containers and
// animations hold. JSON on stdout; errors on stderr; exit codes below.

#include <QByteArray>
#include <QImage>
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace quarxtool {

enum Exit { kOk = 0, kUnusable = 1, kUsage = 2 };

// Arguments after the subcommand, with "--depth BITS" taken out.
struct Args {
  QStringList positional;
  int depth = 24;
  bool logo = false;
  int image = 0;  // --image K (1-based); 0 when not given
};

void PrintJson(const QJsonObject& object);
void PrintError(const QString& text);
int Usage(const QString& text = {});

// Writes a picture by OUT's extension (".png" or ".bmp"); false on failure or another one.
bool WritePicture(const QImage& image, const QString& path);
bool WriteBytes(const QByteArray& bytes, const QString& path);
// ".bmp" or ".png" (lower case), or empty.
QString PictureKind(const QString& path);

int Catalogue(const Args& args);
int Dem(const Args& args);
int Picture(const Args& args);
int Bmr(const Args& args);
int Bpk(const Args& args);

}  // namespace quarxtool
