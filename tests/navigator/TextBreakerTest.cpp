#include <gtest/gtest.h>

#include "navigator/TextBreaker.h"

namespace {

// Every character 10 pixels wide: widths are easy to reason about.
int Fixed(const QString& text) { return int(text.size()) * 10; }

TEST(TextBreakerTest, BreaksAtBlanksKeepingThemAndAtLineBreaks) {
  // 10 characters per line.
  EXPECT_EQ(BreakLines("aaa bbb ccc ddd", 100, Fixed),
            (QStringList{"aaa bbb ", "ccc ddd"}));
  // The blanks at the break hang over the edge; the next line starts right after them.
  EXPECT_EQ(BreakLines("aaaaa bbbb   cc", 100, Fixed), (QStringList{"aaaaa bbbb   ", "cc"}));
  EXPECT_EQ(BreakLines("one\r\n\r\ntwo", 100, Fixed), (QStringList{"one", "", "two"}));
  // A word wider than the line is broken inside the word.
  EXPECT_EQ(BreakLines("abcdefghijklmnopqrstuvwxy z", 100, Fixed),
            (QStringList{"abcdefghij", "klmnopqrst", "uvwxy z"}));
  // Leading blanks stay with the first word; a box narrower than a character still moves on.
  EXPECT_EQ(BreakLines("  ab cd", 50, Fixed), (QStringList{"  ab ", "cd"}));
  EXPECT_EQ(BreakLines("abc", 0, Fixed), (QStringList{"a", "b", "c"}));
  EXPECT_EQ(BreakLines("", 100, Fixed), (QStringList{""}));
}

TEST(TextBreakerTest, ParagraphBookkeepingFollowsTheUnwrappedText) {
  const QString text = "aaa bbb ccc ddd eee\r\nfff\r\nggg hhh  iii jjj kkk";
  const WrappedText w = FormatDescription(text, 100, Fixed);
  ASSERT_EQ(w.Lines, (QStringList{"aaa bbb ", "ccc ddd ", "eee", "fff", "ggg hhh  ", "iii jjj ",
                                  "kkk"}));
  EXPECT_EQ(w.LineEndsParagraph, (std::vector<uint8_t>{0, 0, 1, 1, 0, 0, 1}));
  // One trailing blank goes before counting; a second one counts as a gap.
  EXPECT_EQ(w.LineGaps, (std::vector<uint8_t>{1, 1, 0, 0, 2, 1, 0}));

  // Leading blanks are not gaps; a word broken inside itself has none.
  const WrappedText lead = FormatDescription("   x y abcdefghijklmno p", 100, Fixed);
  ASSERT_EQ(lead.Lines, (QStringList{"   x y ", "abcdefghij", "klmno p"}));
  EXPECT_EQ(lead.LineGaps, (std::vector<uint8_t>{1, 0, 0}));
  EXPECT_EQ(lead.LineEndsParagraph, (std::vector<uint8_t>{0, 0, 1}));

  // A description ending in a line break ends with an empty last line, a paragraph end.
  const WrappedText tail = FormatDescription("ab cd\r\n", 100, Fixed);
  ASSERT_EQ(tail.Lines, (QStringList{"ab cd", ""}));
  EXPECT_EQ(tail.LineEndsParagraph, (std::vector<uint8_t>{1, 1}));
  EXPECT_EQ(FormatDescription("", 100, Fixed).Count(), 1);
}

TEST(TextBreakerTest, AVeryLongDescriptionIsCutAtTheLineLimit) {
  QString text;
  for (int i = 0; i < 40000; ++i) text += QStringLiteral("w\r\n");
  const WrappedText w = FormatDescription(text, 100, Fixed);
  EXPECT_EQ(w.Count(), WrappedText::kMaxLines);
  EXPECT_EQ(int(w.LineGaps.size()), WrappedText::kMaxLines);
  EXPECT_EQ(w.LineEndsParagraph.back(), 1);
  // Also when a single paragraph runs past it.
  EXPECT_EQ(BreakLines(QString(500000, 'x'), 10, Fixed).size(), WrappedText::kMaxLines);
}

TEST(TextBreakerTest, MeasuresInTheGivenFont) {
  const platform::FontSpec font{"DejaVu Sans", -14, true, Qt::black};
  const TextWidthFn width = WidthInFont(font);
  const QString text = "O jogo mais rápido do ano chega com pistas novas e carros novos";
  const int box = 150;
  for (const QString& line : BreakLines(text, box, width)) {
    QString visible = line;
    while (visible.endsWith(' ')) visible.chop(1);
    EXPECT_LE(width(visible), box) << line.toStdString();
  }
}

}  // namespace
