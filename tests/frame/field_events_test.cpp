// The record's event rules: writes raise the user's events, unchanged writes raise nothing,
// option groups stay exclusive, and handlers that write each other's fields come to rest.

#include <gtest/gtest.h>

#include <set>

#include "frame/project_settings.h"

namespace ravlo {
namespace {

TEST(FieldEvents, TextWriteRaisesChangeOnlyWhenTheValueChanges) {
  ProjectSettings s;
  int changes = 0;
  s.txtTitle.OnChange([&] { ++changes; });
  s.txtTitle.SetText("1");
  s.txtTitle.SetText("1");
  s.txtTitle.SetText("");
  EXPECT_EQ(changes, 2);
}

TEST(FieldEvents, CheckRaisesClickOnEveryChangeAndMenuCheckRaisesNothing) {
  ProjectSettings s;
  int clicks = 0, menuClicks = 0;
  s.chkIVTC.OnClick([&] { ++clicks; });
  s.chkDelTemp.OnClick([&] { ++menuClicks; });
  s.chkIVTC.SetValue(true);
  s.chkIVTC.SetValue(true);
  s.chkIVTC.SetValue(false);
  s.chkDelTemp.SetValue(false);  // a check mark set by the program is not a menu command
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(menuClicks, 0);
}

TEST(FieldEvents, OptionTrueClearsItsGroupAndFalseRaisesNothing) {
  ProjectSettings s;
  int mp3 = 0, ac3 = 0, ogg = 0, pal = 0;
  s.optAud_MP3.OnClick([&] { ++mp3; });
  s.optAud_AC3.OnClick([&] { ++ac3; });
  s.optAud_OGG.OnClick([&] { ++ogg; });
  s.optPAL.OnClick([&] { ++pal; });

  s.optAud_AC3.SetValue(true);
  EXPECT_TRUE(s.optAud_AC3.IsSet());
  EXPECT_FALSE(s.optAud_MP3.IsSet());
  EXPECT_FALSE(s.optAud_OGG.IsSet());
  EXPECT_EQ(ac3, 1);
  EXPECT_EQ(mp3, 0);  // being cleared is no click

  s.optAud_AC3.SetValue(false);  // a group may end with none set
  EXPECT_FALSE(s.optAud_AC3.IsSet() || s.optAud_MP3.IsSet() || s.optAud_OGG.IsSet());
  EXPECT_EQ(ac3, 1);

  // Other groups are untouched.
  s.optPAL.SetValue(true);
  s.optAud_OGG.SetValue(true);
  EXPECT_TRUE(s.optPAL.IsSet());
  EXPECT_TRUE(s.optSub_VOBSUB.IsSet());
  EXPECT_EQ(pal, 1);
  EXPECT_EQ(ogg, 1);
}

TEST(FieldEvents, ItemsAndFlagsRaiseNoEventButNotifyWatchers) {
  ProjectSettings s;
  int events = 0, repaints = 0;
  s.cmbPGC.OnChange([&] { ++events; });
  s.cmbPGC.OnClick([&] { ++events; });
  s.cmbPGC.Watch([&](const Field&) { ++repaints; });
  s.cmbPGC.AddItem("1. Length: 01:40:00");
  s.cmbPGC.SetEnabled(false);
  s.cmbPGC.SetVisible(false);
  s.cmbPGC.ClearItems();
  EXPECT_EQ(events, 0);
  EXPECT_EQ(repaints, 4);
}

TEST(FieldEvents, ComboPickRaisesClickAndTypingDeselects) {
  ProjectSettings s;
  int picks = 0;
  s.cmbMS.OnClick([&] { ++picks; });
  s.cmbMS.Select(3);
  EXPECT_EQ(s.cmbMS.Text(), "896");
  EXPECT_EQ(picks, 1);
  s.cmbMS.Select(3);
  EXPECT_EQ(picks, 1);
  s.cmbMS.SetText("800");  // any typed value is valid
  EXPECT_EQ(s.cmbMS.Selected(), -1);
  s.cmbMS.Select(-1);
  EXPECT_EQ(picks, 1);
  s.cmbMS.Select(8);  // out of range: ignored
  EXPECT_EQ(s.cmbMS.Text(), "800");
}

TEST(FieldEvents, CheckedListRaisesItemCheckOncePerChangedMark) {
  ProjectSettings s;
  std::vector<int> seen;
  s.lstAL.OnItemCheck([&](int i) { seen.push_back(i); });
  s.lstAL.AddItem("a");
  s.lstAL.AddItem("b");
  EXPECT_FALSE(s.lstAL.IsChecked(0));  // items are added unchecked
  s.lstAL.SetChecked(1, true);
  s.lstAL.SetChecked(1, true);
  s.lstAL.SetChecked(0, true);
  s.lstAL.SetChecked(1, false);
  s.lstAL.SetChecked(5, true);
  EXPECT_EQ(seen, (std::vector<int>{1, 0, 1}));
}

TEST(FieldEvents, HandlersWritingEachOthersFieldsStopWhenNothingChanges) {
  // Two fields that follow each other, like a number box and the list it selects from.
  ProjectSettings s;
  for (const char* item : {"one", "two", "three"}) s.cmbPGC.AddItem(item);
  int titleChanges = 0, picks = 0;
  s.txtTitle.OnChange([&] {
    ++titleChanges;
    const std::string& t = s.txtTitle.Text();
    if (t.size() == 1 && t[0] >= '1' && t[0] <= '3') s.cmbPGC.Select(t[0] - '1');
  });
  s.cmbPGC.OnClick([&] {
    ++picks;
    s.txtTitle.SetText(std::to_string(s.cmbPGC.Selected() + 1));
  });
  s.txtTitle.SetText("2");
  EXPECT_EQ(s.cmbPGC.Text(), "two");
  EXPECT_EQ(titleChanges, 1);
  EXPECT_EQ(picks, 1);
  s.cmbPGC.Select(2);
  EXPECT_EQ(s.txtTitle.Text(), "3");
  EXPECT_EQ(titleChanges, 2);
  EXPECT_EQ(picks, 2);
}

TEST(ProjectSettingsDefaults, StartStateOfTheWindow) {
  ProjectSettings s;
  EXPECT_FALSE(s.optPAL.IsSet() || s.optNTSC.IsSet() || s.opt16_9.IsSet() || s.opt4_3.IsSet());
  EXPECT_EQ(s.cmbMS.Text(), "699");
  EXPECT_EQ(s.cmbMS.Items(), (std::vector<std::string>{"349", "699", "746", "896", "1120", "1493",
                                                       "2048", "4478"}));
  EXPECT_TRUE(s.chkDelTemp.IsSet());
  EXPECT_TRUE(s.chkDelLogs.IsSet());
  EXPECT_FALSE(s.chkShutDown.IsSet());
  EXPECT_FALSE(s.mnuSave.Enabled() || s.mnuSaveAs.Enabled() || s.mnuSaveRun.Enabled());
  EXPECT_FALSE(s.picInfo_on.Visible());
  EXPECT_TRUE(s.picInfo_off.Visible());
  EXPECT_FALSE(s.chkOrig.Visible());
  EXPECT_FALSE(s.chk51.Enabled());
  EXPECT_EQ(s.mnuSaveRun.Caption(), "Save && &Run");
}

TEST(ProjectSettingsTable, EveryFieldFoundByItsOwnNameOnce) {
  ProjectSettings s;
  std::set<std::string> names;
  for (Field* f : s.All()) {
    EXPECT_EQ(s.Find(f->Name()), f);
    EXPECT_TRUE(names.insert(f->Name()).second) << f->Name();
  }
  EXPECT_EQ(s.Find("txtNothing"), nullptr);
  // The Linux road adds its codec, container, two audio formats and the titles' list and medium.
#ifdef _WIN32
  EXPECT_EQ(s.All().size(), 60u);
#else
  EXPECT_EQ(s.All().size(), 66u);
#endif
}

}  // namespace
}  // namespace ravlo
