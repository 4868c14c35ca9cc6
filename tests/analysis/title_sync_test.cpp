#include "analysis/title_sync.h"

#include <gtest/gtest.h>

#include "wired_app.h"

namespace ravlo {
namespace {

class TitleSyncTest : public ::testing::Test, protected test::WiredApp {
 protected:
  TitleSyncTest() {
    Open("  1. Length: 01:40:00\r\n  2. Length: 00:50:00\r\n  3. Length: 00:10:00\r\n  Video: PAL\r\n");
    s.cmbPGC.OnClick([this] { ++chainPicks; });
    s.txtTitle.OnChange([this] { ++titleChanges; });
  }
  int chainPicks = 0;
  int titleChanges = 0;
};

TEST_F(TitleSyncTest, TypedNumberSelectsItsChainOnce) {
  s.txtTitle.SetText("2");
  EXPECT_EQ(s.cmbPGC.Selected(), 1);
  EXPECT_EQ(s.txtSec.Text(), "3000");
  EXPECT_EQ(chainPicks, 1);
  EXPECT_EQ(titleChanges, 1);

  // "03" selects the third chain, whose pick writes back "3": one more round, then quiet.
  s.txtTitle.SetText("03");
  EXPECT_EQ(s.cmbPGC.Selected(), 2);
  EXPECT_EQ(s.txtTitle.Text(), "3");
  EXPECT_EQ(s.txtSec.Text(), "600");
  EXPECT_EQ(chainPicks, 2);
  EXPECT_EQ(titleChanges, 3);

  s.txtTitle.SetText("1.5");  // 0.5 rounds to the even 0: the first chain
  EXPECT_EQ(s.cmbPGC.Selected(), 0);
}

TEST_F(TitleSyncTest, PickedChainWritesItsNumber) {
  s.cmbPGC.Select(2);
  EXPECT_EQ(s.txtTitle.Text(), "3");
  EXPECT_EQ(s.txtSec.Text(), "600");
  EXPECT_EQ(chainPicks, 1);
  EXPECT_EQ(titleChanges, 1);
}

TEST_F(TitleSyncTest, WrongNumbersAreIgnored) {
  s.txtTitle.SetText("2");
  for (const char* text : {"abc", "", "2x", "4", "-1", "99999999999"}) {
    s.txtTitle.SetText(text);
    EXPECT_EQ(s.cmbPGC.Selected(), 1) << text;
    EXPECT_EQ(s.txtTitle.Text(), text);
  }
  EXPECT_EQ(s.txtSec.Text(), "3000");
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(TitleSyncTest, ZeroLeavesNoChainSelected) {
  s.txtTitle.SetText("0");
  EXPECT_EQ(s.cmbPGC.Selected(), -1);
  EXPECT_EQ(s.cmbPGC.Text(), "");
  EXPECT_EQ(chainPicks, 0);
  EXPECT_EQ(s.txtTitle.Text(), "0");
}

}  // namespace
}  // namespace ravlo
