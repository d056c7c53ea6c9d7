#include "tools/mkdisc/MakeDisc.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <future>

#include "tools/mkdisc/ArtKit.h"
#include "tools/mkdisc/Demos.h"
#include "tools/mkdisc/DiscTree.h"
#include "tools/mkdisc/FontRename.h"
#include "tools/mkdisc/Media.h"
#include "tools/mkdisc/SkinArt.h"
#include "tools/mkdisc/SkinSets.h"
#include "tools/mkdisc/Sounds.h"

namespace {

// Marks a folder as written by this tool, so that a later run may replace it.
const QString kMarker = QStringLiteral(".quarx-sample-disc");

const QString kProgram = QStringLiteral("QUARX");
const QString kResour = QStringLiteral("QUARX/Resour");
const QString kShare = QStringLiteral("SHAREDIR");

bool PrepareRoot(const QString& root, QStringList& errors) {
  QDir dir(root);
  if (dir.exists()) {
    const bool empty =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty();
    if (!empty && !QFile::exists(dir.filePath(kMarker))) {
      errors << root + " is not empty and was not written by mkdisc; not touching it";
      return false;
    }
    if (!empty && !dir.removeRecursively()) {
      errors << "cannot remove the old disc in " + root;
      return false;
    }
  }
  if (!QDir().mkpath(root)) {
    errors << "cannot create " + root;
    return false;
  }
  QFile marker(dir.filePath(kMarker));
  if (!marker.open(QIODevice::WriteOnly) || marker.write("mkdisc\n") != 7) {
    errors << "cannot write " + marker.fileName();
    return false;
  }
  return true;
}

void WriteFont(DiscTree& disc) {
  for (const char* path : {"/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed.ttf",
                           "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"}) {
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly)) continue;
    if (auto renamed = font::Rename(file.readAll(), QStringLiteral("vkScr_01"))) {
      disc.Write(kResour + "/vkScn___.ttf", *renamed);
      return;
    }
  }
  disc.AddError("no usable DejaVu font (install fonts-dejavu-core) for vkScn___.ttf");
}

void WriteDemos(DiscTree& disc) {
  const std::vector<demos::Demo> list = demos::All();
  disc.MakeFolder(kShare + "/DemoData");
  for (size_t i = 0; i < list.size(); ++i) {
    const demos::Demo& d = list[i];
    disc.Write(kShare + "/DemoData/" + d.DemFile, demos::DescriptionFile(d, int(i)));
    for (const QString& program : d.Programs) {
      if (program.endsWith(".EXE", Qt::CaseInsensitive))
        disc.WriteStandIn(program, d.Title);
      else
        disc.Write(program, QByteArray("dados de demonstração\r\n"));
    }
  }
}

void WriteTools(DiscTree& disc) {
  struct Tool {
    const char* Path;
    const char* Label;
  };
  static const Tool kTools[] = {
      {"instalar.exe", "Instalador do Quarx CD-ROM"},
      {"dllinst/copier32.exe", "Copiador de DLLs e afins - 32bits"},
      {"Demos/TRAILERS/ARMYMEN.EXE", "Trailer: Soldados de Plástico"},
      {"Demos/TRAILERS/furydemo.exe", "Trailer: Fúria no Asfalto"},
      {"Demos/UTILITAR/Acro3_32/SETUP.EXE", "Instalação do leitor de PDF"},
      {"Demos/UTILITAR/DIRECTX/DX6SU111.EXE", "Programa de Instalação do DirectX(tm)"},
      {"Demos/UTILITAR/DIRECTX/dxdiag.exe", "Informações do DirectX"},
  };
  for (const Tool& t : kTools)
    disc.WriteStandIn(QString::fromUtf8(t.Path), QString::fromUtf8(t.Label));
}

void WriteWaves(DiscTree& disc) {
  for (const sounds::NamedWave& w : sounds::NavigatorWaves())
    disc.Write(kResour + "/waves/" + w.FileName, w.Bytes);
}

}  // namespace

QStringList MakeDisc(const QString& root) {
  QStringList errors;
  if (!PrepareRoot(root, errors)) return errors;
  DiscTree disc(root);
  disc.MakeFolder(kProgram);
  art::LoadFonts();  // once, before any drawing thread starts
  // The two skin sizes are the biggest jobs; they draw into images of their own and write
  // files of their own, so they run beside the rest.
  DiscTree g6(root), g8(root);
  auto smallSkin =
      std::async(std::launch::async, [&] { skin::WriteSkinSet(g6, kResour, "G6", 0.8); });
  auto largeSkin =
      std::async(std::launch::async, [&] { skin::WriteSkinSet(g8, kResour, "G8", 1.0); });
  WriteFont(disc);
  WriteWaves(disc);
  skin::WriteExplorerSkin(disc, kResour);
  WriteDemos(disc);
  WriteTools(disc);
  media::WriteShareMedia(disc, kShare);
  disc.Write("REVISTA/KVR.pdf", media::Magazine());
  media::WriteExplorerMedia(disc, "Midia");
  smallSkin.get();
  largeSkin.get();
  return disc.Errors() + g6.Errors() + g8.Errors();
}

QStringList WritePreview(const QString& folder) {
  QStringList errors;
  if (!QDir().mkpath(folder)) return {"cannot create " + folder};
  auto save = [&](const QImage& img, const QString& name) {
    if (!img.save(folder + "/" + name + ".png")) errors << "cannot write " + name + ".png";
  };
  for (double scale : {1.0, 0.8}) {
    const QString tag = scale == 1.0 ? "G8" : "G6";
    const skin::SkinArt skinArt(scale);
    const QImage empty = skinArt.Background(skin::Screen::Empty);
    const QImage list = skinArt.Background(skin::Screen::List);
    const QImage page = skinArt.Background(skin::Screen::Description);
    save(empty, tag + "-empty");
    save(list, tag + "-list");
    save(page, tag + "-description");
    const auto frames = skinArt.Transition(empty, list, 7);
    save(frames[3], tag + "-gbttin-3");
    // Every control picture side by side, on the list background colour.
    const auto bitmaps = skinArt.ControlBitmaps();
    QImage sheet(900, 900, QImage::Format_RGB32);
    sheet.fill(QColor(20, 30, 60));
    QPainter p(&sheet);
    int x = 4, y = 4, rowHeight = 0;
    for (const auto& [name, img] : bitmaps) {
      if (x + img.width() > 896) {
        x = 4;
        y += rowHeight + 4;
        rowHeight = 0;
      }
      p.drawImage(x, y, img);
      x += img.width() + 4;
      rowHeight = std::max(rowHeight, img.height());
    }
    p.end();
    save(sheet, tag + "-controls");
    // The list screen with its buttons in place, as the navigator composes it.
    QImage composed = list;
    QPainter c(&composed);
    for (const skin::ControlSpec& spec : skin::NavigatorControls()) {
      if (spec.IsPosBar) continue;
      for (const auto& [name, img] : bitmaps) {
        if (name != spec.Name + "u") continue;
        QImage keyed = img.convertToFormat(QImage::Format_ARGB32);
        for (int yy = 0; yy < keyed.height(); ++yy)
          for (int xx = 0; xx < keyed.width(); ++xx)
            if (keyed.pixel(xx, yy) == art::kKey) keyed.setPixel(xx, yy, 0);
        c.drawImage(art::Scaled(spec.Left, scale), art::Scaled(spec.Top, scale), keyed);
      }
    }
    c.end();
    save(composed, tag + "-list-with-buttons");
  }
  return errors;
}
