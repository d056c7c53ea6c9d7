#include "tools/mkdisc/Media.h"

#include <QBuffer>
#include <QLinearGradient>
#include <QPageSize>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRadialGradient>
#include <cctype>
#include <cmath>

#include "tools/mkdisc/ArtKit.h"
#include "tools/mkdisc/BmpWriter.h"
#include "tools/mkdisc/DiscTree.h"
#include "tools/mkdisc/Movie.h"
#include "tools/mkdisc/Palette.h"
#include "tools/mkdisc/Sounds.h"

namespace media {
namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<float> IntroSound(int rateHz, double seconds) {
  std::vector<float> s(static_cast<size_t>(rateHz * seconds));
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = double(i) / rateHz;
    const double swell = std::min(1.0, t / 1.5) * std::min(1.0, (seconds - t) / 0.5);
    double v = 0;
    for (double hz : {130.81, 196.0, 261.63, 329.63}) v += std::sin(2 * kPi * hz * t);
    s[i] = static_cast<float>(v / 4 * 0.7 * swell);
  }
  return s;
}

QImage Credits() {
  QImage img(640, 480, QImage::Format_RGB32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  art::FillGradient(p, QRectF(0, 0, 640, 480), QColor(10, 16, 40), QColor(0, 0, 0));
  art::Random rnd(99);
  for (int i = 0; i < 160; ++i) {
    const int v = 120 + rnd.Below(136);
    p.fillRect(QRectF(rnd.Below(640), rnd.Below(480), 1.5, 1.5), QColor(v, v, 255));
  }
  p.setFont(art::Face(34));
  art::ShadowText(p, QRectF(0, 30, 640, 50), "Quarx CD-ROM 9", QColor(255, 200, 70));
  p.setFont(art::Face(16));
  art::ShadowText(p, QRectF(0, 80, 640, 24), "Créditos", QColor(200, 225, 255));
  static const char* kLines[][2] = {
      {"Direção", "Equipe Quarx"},
      {"Programação do navegador", "Laboratório velOrbint"},
      {"Arte e animações", "Estúdio Vetor"},
      {"Músicas e efeitos", "Oficina do Som"},
      {"Revista eletrônica", "Redação Quarx"},
      {"Seleção dos demos", "Equipe de testes"},
      {"Agradecimentos", "a todos os leitores!"},
  };
  double y = 130;
  for (const auto& line : kLines) {
    p.setFont(art::Face(13, false));
    art::ShadowText(p, QRectF(0, y, 310, 22), QString::fromUtf8(line[0]), QColor(150, 180, 230),
                    Qt::AlignRight | Qt::AlignVCenter);
    p.setFont(art::Face(14));
    art::ShadowText(p, QRectF(330, y, 310, 22), QString::fromUtf8(line[1]), QColor(255, 255, 255),
                    Qt::AlignLeft | Qt::AlignVCenter);
    y += 40;
  }
  p.setFont(art::Face(11, false));
  art::ShadowText(p, QRectF(0, 440, 640, 20), "Clique ou tecle Enter para voltar",
                  QColor(140, 160, 200));
  return img;
}

// Replaces the digits of every date field with a fixed date of the same length, so that the
// cross-reference offsets of the file stay right.
void FixDates(QByteArray& pdf, const QByteArray& key) {
  static const char kDate[] = "19981001120000000000";
  qsizetype at = 0;
  while ((at = pdf.indexOf(key, at)) >= 0) {
    const qsizetype start = pdf.indexOf('(', at + key.size());
    const qsizetype end = start < 0 ? -1 : pdf.indexOf(')', start + 1);
    if (start < 0 || end < 0 || start - at > key.size() + 2) {
      at += key.size();
      continue;
    }
    size_t digit = 0;
    for (qsizetype i = start + 1; i < end; ++i)
      if (std::isdigit(static_cast<unsigned char>(pdf[i])) && digit + 1 < sizeof kDate)
        pdf[i] = kDate[digit++];
    at = end;
  }
}

}  // namespace

QImage TitlePicture(int width, int height, double progress) {
  QImage img(width, height, QImage::Format_RGB32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(width / 400.0, height / 300.0);
  QRadialGradient sky(QPointF(200, 150), 260);
  sky.setColorAt(0, QColor(30, 50, 110));
  sky.setColorAt(1, QColor(0, 0, 12));
  p.fillRect(QRectF(0, 0, 400, 300), sky);
  art::Random rnd(7);
  for (int i = 0; i < 120; ++i) {
    const double a = rnd.Unit() * 2 * kPi, r0 = rnd.Unit() * 40;
    const double r = r0 + progress * (60 + rnd.Unit() * 200);
    const int v = 100 + rnd.Below(155);
    p.fillRect(QRectF(200 + std::cos(a) * r, 150 + std::sin(a) * r * 0.75, 2, 2),
               QColor(v, v, 255));
  }
  const double zoom = 0.3 + 0.7 * std::min(1.0, progress * 1.4);
  p.translate(200, 135);
  p.scale(zoom, zoom);
  QFont f = art::Face(72);
  QPainterPath word;
  word.addText(0, 0, f, "QUARX");
  const QRectF b = word.boundingRect();
  word.translate(-b.center().x(), b.height() / 2 - 10);
  QLinearGradient gold(0, -30, 0, 30);
  gold.setColorAt(0, QColor(255, 245, 170));
  gold.setColorAt(1, QColor(220, 110, 10));
  p.setPen(QPen(QColor(60, 20, 0), 3));
  p.setBrush(gold);
  p.drawPath(word);
  p.resetTransform();
  p.scale(width / 400.0, height / 300.0);
  if (progress > 0.6) {
    p.setFont(art::Face(22));
    art::ShadowText(p, QRectF(0, 190, 400, 30), "CD-ROM  9", QColor(200, 230, 255));
    p.setFont(art::Face(12, false));
    art::ShadowText(p, QRectF(0, 250, 400, 20), "demos \u00b7 revista \u00b7 utilitários",
                    QColor(150, 180, 230));
  }
  return img;
}

void WriteShareMedia(DiscTree& disc, const QString& shareFolder) {
  movie::Spec intro;
  intro.Width = 400;
  intro.Height = 300;
  intro.FramesPerSecond = 15;
  intro.FrameCount = 45;
  intro.SoundRateHz = 22050;
  intro.Frame = [&](int i) { return TitlePicture(400, 300, double(i) / (intro.FrameCount - 1)); };
  intro.Sound = IntroSound(intro.SoundRateHz, 3.0);
  QString error;
  if (!disc.MakeFolder(shareFolder) ||
      !movie::WriteAvi(disc.Path(shareFolder + "/abertura.avi"), intro, &error))
    disc.AddError("intro movie: " + error);

  const QImage logo = TitlePicture(400, 300, 1.0);
  disc.Write(shareFolder + "/LOGO256.BMP", bmp::Encode(palette::ToShared(logo)));
  disc.Write(shareFolder + "/LOGORGB.BMP", bmp::Encode(logo));
  const QImage credits = Credits();
  disc.Write(shareFolder + "/credits.bmp",
             bmp::Encode(palette::ToTable(credits, palette::Popular(credits, 256))));
}

QByteArray Magazine() {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&buffer);
    pdf.setCreator("Quarx");
    pdf.setTitle("Revista Quarx CD-ROM 9");
    pdf.setResolution(72);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter p(&pdf);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF page(0, 0, 595, 842);
    static const char* kArticles[][2] = {
        {"Os melhores jogos do ano",
         "Testamos quarenta lançamentos e escolhemos os dez que merecem um lugar no seu disco "
         "rígido. Ação, estratégia e aventura: tem para todos os gostos."},
        {"Internet sem mistério",
         "Como escolher um provedor, configurar o modem e navegar com segurança. Um guia "
         "passo a passo para quem está começando."},
        {"Oficina: acelere seu micro",
         "Desfragmente o disco, ajuste a memória virtual e descubra por que o seu Windows "
         "demora tanto para iniciar."},
    };
    for (int pageNo = 0; pageNo < 4; ++pageNo) {
      if (pageNo > 0) pdf.newPage();
      if (pageNo == 0) {
        art::FillGradient(p, page, QColor(20, 40, 90), QColor(0, 0, 20));
        p.drawImage(QRectF(97, 200, 400, 300), TitlePicture(400, 300, 1.0));
        p.setFont(art::Face(40));
        art::ShadowText(p, QRectF(0, 60, 595, 60), "Revista Quarx", QColor(255, 200, 70));
        p.setFont(art::Face(18, false));
        art::ShadowText(p, QRectF(0, 540, 595, 30), "Edição 9 \u00b7 1998", QColor(220, 230, 255));
        continue;
      }
      const auto& article = kArticles[pageNo - 1];
      p.fillRect(page, Qt::white);
      p.fillRect(QRectF(0, 0, 595, 70), QColor(20, 40, 90));
      p.setFont(art::Face(24));
      p.setPen(Qt::white);
      p.drawText(QRectF(40, 0, 515, 70), Qt::AlignVCenter, QString::fromUtf8(article[0]));
      p.setFont(art::Face(13, false));
      p.setPen(Qt::black);
      QString body;
      for (int i = 0; i < 6; ++i) body += QString::fromUtf8(article[1]) + "\n\n";
      p.drawText(QRectF(40, 100, 515, 680), Qt::TextWordWrap, body);
      p.setFont(art::Face(10, false));
      p.drawText(QRectF(40, 800, 515, 20), Qt::AlignRight, QString("página %1").arg(pageNo + 1));
    }
  }
  QByteArray bytes = buffer.data();
  FixDates(bytes, "/CreationDate");
  FixDates(bytes, "/ModDate");
  return bytes;
}

void WriteExplorerMedia(DiscTree& disc, const QString& folder) {
  // One picture in every bitmap depth the readers know, two of them run-length encoded.
  const QImage scene = TitlePicture(320, 240, 1.0);
  QVector<QRgb> vga = {0xff000000, 0xff800000, 0xff008000, 0xff808000, 0xff000080, 0xff800080,
                       0xff008080, 0xffc0c0c0, 0xff808080, 0xffff0000, 0xff00ff00, 0xffffff00,
                       0xff0000ff, 0xffff00ff, 0xff00ffff, 0xffffffff};
  const QImage small = palette::ToTable(TitlePicture(160, 120, 1.0), vga);
  QImage mono(96, 64, QImage::Format_Indexed8);
  mono.setColorTable({0xff000000, 0xffffffff});
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 96; ++x)
      mono.setPixel(x, y, ((x / 8 + y / 8) % 2) ^ ((x * x + y * y) % 97 < 40));
  const QImage eight = palette::ToShared(scene);

  disc.Write(folder + "/Imagens/paisagem24.bmp", bmp::Encode(scene, bmp::Encoding::Rgb24));
  disc.Write(folder + "/Imagens/paisagem8.bmp", bmp::Encode(eight, bmp::Encoding::Pal8));
  disc.Write(folder + "/Imagens/PAISAGEM_RLE8.BMP", bmp::Encode(eight, bmp::Encoding::Rle8));
  disc.Write(folder + "/Imagens/cores16.bmp", bmp::Encode(small, bmp::Encoding::Pal4));
  disc.Write(folder + "/Imagens/cores16_rle4.bmp", bmp::Encode(small, bmp::Encoding::Rle4));
  disc.Write(folder + "/Imagens/xadrez1.bmp", bmp::Encode(mono, bmp::Encoding::Mono));

  QByteArray jpeg;
  {
    QBuffer b(&jpeg);
    b.open(QIODevice::WriteOnly);
    TitlePicture(640, 480, 0.8).save(&b, "JPG", 85);
  }
  disc.Write(folder + "/Imagens/foto.jpg", jpeg);
  disc.Write(folder + "/Imagens/FOTO2.JPG", jpeg);
  disc.Write(folder + "/Desenhos/logotipo.wmf", Metafile());
  disc.Write(folder + "/Sons/acorde.wav", sounds::ExplorerChime());

  movie::Spec clip;
  clip.Width = 160;
  clip.Height = 120;
  clip.FramesPerSecond = 10;
  clip.FrameCount = 20;
  clip.SoundRateHz = 11025;
  clip.Frame = [](int i) { return TitlePicture(160, 120, i / 19.0); };
  clip.Sound = IntroSound(11025, 2.0);
  QString error;
  if (!disc.MakeFolder(folder + "/Videos") ||
      !movie::WriteAvi(disc.Path(folder + "/Videos/vinheta.avi"), clip, &error))
    disc.AddError("explorer video: " + error);
  disc.Write(folder + "/leiame.txt", QByteArray("Arquivos de exemplo para o Explorador MM.\r\n"));
}

}  // namespace media
