#include <gtest/gtest.h>

#include "platform/Text.h"

using platform::FromWin1252;
using platform::ToWin1252;

TEST(Win1252, EveryByteRoundTrips) {
  QByteArray all;
  for (int b = 0; b < 256; ++b) all.append(char(b));
  const QString text = FromWin1252(all);
  ASSERT_EQ(text.size(), 256);
  EXPECT_EQ(ToWin1252(text), all);
}

TEST(Win1252, HighControlsAreTypographicCharacters) {
  EXPECT_EQ(FromWin1252(QByteArray("\x80\x93\x94\x9f")), QString::fromUtf8("€“”Ÿ"));
  EXPECT_EQ(FromWin1252(QByteArray("Vers\xe3o")), QString::fromUtf8("Versão"));
  EXPECT_EQ(ToWin1252(QString::fromUtf8("ação…")), QByteArray("a\xe7\xe3o\x85"));
}

TEST(Win1252, UnmappableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(ToWin1252(QString::fromUtf8("日本")), QByteArray("??"));
  EXPECT_FALSE(platform::FitsWin1252(QString::fromUtf8("x日")));
  EXPECT_TRUE(platform::FitsWin1252(QString::fromUtf8("Música")));
}
