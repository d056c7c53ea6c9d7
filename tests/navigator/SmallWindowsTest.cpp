#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "common/Environment.h"
#include "navigator/Ceremony.h"
#include "navigator/uInfo.h"
#include "navigator/uStatus.h"

namespace {

TEST(StatusWindow, SitsNearTheBottomAndShowsEachStep) {
  TfmStatus status(QRect(0, 0, 800, 600), 1.0);
  EXPECT_EQ(status.windowTitle(), "Quarx CD-ROM - Inicializando...");
  EXPECT_EQ(status.pos(), QPoint((800 - 357) / 2, 600 - 81 - 40));
  EXPECT_EQ(status.Operation(), "");
  auto* bar = status.findChild<QProgressBar*>("ProgressBar");
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->geometry(), QRect(28, 54, 300, 19));
  status.show();
  status.Step("Carregando imagens", 20);
  EXPECT_EQ(status.Operation(), "Carregando imagens");
  EXPECT_EQ(bar->value(), 20);
}

TEST(InfoWindow, VersionFromTheTwoWordsAndTheSoundBackEnd) {
  EXPECT_EQ(VersionText(0x00010002, 0x00030004), "1.2.3.4");
  EXPECT_EQ(VersionText(0xFFFF0000, 0x0000000C), "65535.0.0.12");
  TfmInfo info(1.0, /*usesDirectSound=*/false, nullptr, 0x00010002, 0x00030004);
  EXPECT_EQ(info.VersionLabel(), "Versão: 1.2.3.4");
  EXPECT_EQ(info.BuildLabel(), "ZODarazavodo");
  EXPECT_EQ(info.SoundLabel(), "DirectSound desabilitada; utilizando um mixer da API win32");
  EXPECT_EQ(TfmInfo(1.0, true).SoundLabel(), "Utilizando a biblioteca DirectSound");
  EXPECT_EQ(info.windowTitle(), "Informações do navegador");

  // "&Fechar" is the cancel button: a click and Esc both close the window.
  auto* button = info.findChild<QPushButton*>("Button1");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), "&Fechar");
  info.show();
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(info.result(), QDialog::Rejected);
  EXPECT_FALSE(info.isVisible());
}

TEST(IntroWindow, WithoutMovieItIsABlackBackdropWithTheLogoPanelCentred) {
  Env().ShareDir = "Q:\\NOWHERE\\SHAREDIR\\";  // no drive: the logo is missing, black stays
  Env().ColourDepth = 32;
  TfmCeremony intro(QRect(0, 0, 800, 600));
  EXPECT_FALSE(intro.MovieAvailable());
  EXPECT_TRUE(intro.Finished());
  EXPECT_FALSE(intro.Playing());
  EXPECT_EQ(intro.MoviePanel(), QRect(200, 150, 400, 300));
  EXPECT_TRUE(intro.Logo().IsEmpty());
  EXPECT_EQ(TfmCeremony(QRect(0, 0, 1023, 767)).MoviePanel().topLeft(), QPoint(312, 234));

  // A key after the movie changes nothing.
  intro.show();
  QTest::keyClick(&intro, Qt::Key_Space);
  EXPECT_TRUE(intro.Finished());
  const QImage shot = intro.grab().toImage();
  EXPECT_EQ(QColor(shot.pixel(10, 10)), QColor(Qt::black));
  EXPECT_EQ(QColor(shot.pixel(400, 300)), QColor(Qt::black));
}

TEST(IntroWindow, LogoFollowsTheColourDepth) {
  EXPECT_EQ(TfmCeremony::LogoPath("D:\\SHAREDIR\\", 8), "D:\\SHAREDIR\\LOGO256.BMP");
  EXPECT_EQ(TfmCeremony::LogoPath("D:\\SHAREDIR\\", 15), "D:\\SHAREDIR\\LOGO256.BMP");
  EXPECT_EQ(TfmCeremony::LogoPath("D:\\SHAREDIR\\", 16), "D:\\SHAREDIR\\LOGORGB.BMP");
  EXPECT_EQ(TfmCeremony::LogoPath("D:\\SHAREDIR\\", 4), "D:\\SHAREDIR\\LOGORGB.BMP");
}

}  // namespace
