#include "tools/mkdisc/SkinSets.h"

#include "tools/discwriter/BmrWriter.h"
#include "tools/discwriter/BpkWriter.h"
#include "tools/mkdisc/ArtKit.h"
#include "tools/mkdisc/BmpWriter.h"
#include "tools/mkdisc/DiscTree.h"
#include "tools/mkdisc/Palette.h"
#include "tools/mkdisc/SkinArt.h"

namespace skin {
namespace {

constexpr int kTransitionFrames = 7;
constexpr int kTransitionDelayMs = 45;
constexpr int kAdvDelayMs = 140;
// Fast, so that building the disc stays quick; the frames compress well anyway.
constexpr int kCompressionLevel = 6;

QByteArray Encode(const QImage& img, bool eightBit) {
  return bmp::Encode(eightBit ? palette::ToShared(img) : img);
}

QByteArray Animation(const std::vector<QImage>& frames, bool eightBit, int delayMs) {
  discwriter::BpkWriter bpk;
  bpk.CompressionLevel = kCompressionLevel;
  for (const QImage& f : frames) bpk.AddFrame(Encode(f, eightBit), delayMs);
  return bpk.Build();
}

void WriteAdvertisements(DiscTree& disc, const QString& folder, const SkinArt& skinArt,
                         bool eightBit) {
  const int w = art::Scaled(384, skinArt.Scale()), h = art::Scaled(80, skinArt.Scale());
  // Stored names differ in letter case; sorted without regard to case they give the trailer
  // order (army first).
  const char* kNames[2] = {"army.bpk", "FURY.BPK"};
  for (int index = 0; index < 2; ++index) {
    discwriter::BpkWriter bpk;
    bpk.CompressionLevel = kCompressionLevel;
    const std::vector<QImage> frames = skinArt.Advertisement(index);
    for (size_t k = 0; k < frames.size(); ++k) {
      const QImage frame = frames[k].scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
      // Frames of one file may differ: the last of the first one is always 8-bit and at
      // design size, and the second one holds a frame with no delay.
      const bool last = k + 1 == frames.size();
      if (index == 0 && last)
        bpk.AddFrame(bmp::Encode(palette::ToShared(frames[k])), kAdvDelayMs * 4);
      else
        bpk.AddFrame(Encode(frame, eightBit), index == 1 && k == 3 ? 0 : kAdvDelayMs);
    }
    disc.Write(folder + "/Advs/" + kNames[index], bpk.Build());
  }
}

}  // namespace

void WriteSkinSet(DiscTree& disc, const QString& resourFolder, const QString& sizeFolder,
                  double scale) {
  {
    const SkinArt art(scale);
    const QImage empty = art.Background(Screen::Empty);
    const QImage list = art.Background(Screen::List);
    const QImage page = art.Background(Screen::Description);
    const std::vector<NamedImage> bitmaps = art.ControlBitmaps();
    const auto gbttin = art.Transition(empty, list, kTransitionFrames);
    const auto gbttout = art.Transition(list, empty, kTransitionFrames);
    const auto dettin = art.Transition(empty, page, kTransitionFrames);
    const auto dettout = art.Transition(page, empty, kTransitionFrames);

    for (const bool eightBit : {false, true}) {
      const QString folder = resourFolder + "/" + sizeFolder + (eightBit ? "/WinPal" : "/AnyPal");
      discwriter::BmrWriter bmr;
      bmr.ReservedHeader = QByteArray("controls");
      for (const auto& [name, image] : bitmaps) bmr.Add(name, Encode(image, eightBit));
      disc.Write(folder + "/controls.bmr", bmr.Build());
      disc.Write(folder + "/gbttin.bpk", Animation(gbttin, eightBit, kTransitionDelayMs));
      disc.Write(folder + "/gbttout.bpk", Animation(gbttout, eightBit, kTransitionDelayMs));
      disc.Write(folder + "/dettin.bpk", Animation(dettin, eightBit, kTransitionDelayMs));
      disc.Write(folder + "/dettout.bpk", Animation(dettout, eightBit, kTransitionDelayMs));
      WriteAdvertisements(disc, folder, art, eightBit);
    }
  }
}

void WriteExplorerSkin(DiscTree& disc, const QString& resourFolder) {
  discwriter::BmrWriter bmr;
  for (const auto& [name, image] : ExplorerBitmaps()) bmr.Add(name, Encode(image, true));
  disc.Write(resourFolder + "/RARez.bmr", bmr.Build());
}

}  // namespace skin
