// The field list is the one declaration of every control: the record, the name table and the
// dump must all hold exactly what it declares, and a name it does not declare is refused.

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/scripted_mode.h"
#include "fake_platform.h"

namespace ravlo {
namespace {

// Counted straight from the list, independently of the record's constructor.
constexpr int kDeclaredFields = 0
#define RAVLO_FIELD(name, ...) +1
#define RAVLO_PICTURE(name, ...) +1
#define RAVLO_POPUP(name, caption) +1
#define RAVLO_MENU(name, ...) +1
#include "frame/field_list.h"
    ;

struct FieldTableTest : ::testing::Test {
  test::FakePlatform system;
  std::ostringstream out, err;
  ScriptedPlatform platform{system, out, err};
  AppState app{platform};
};

TEST_F(FieldTableTest, EveryDeclaredFieldIsInTheRecordTheNameTableAndTheDumpInOrder) {
  const std::vector<Field*>& all = app.settings.All();
  ASSERT_EQ(static_cast<int>(all.size()), kDeclaredFields);
  ASSERT_EQ(RunScript(app, platform, {"--dump"}, out, err), 0);
  const std::string dump = "\n" + out.str();
  std::set<std::string> names;
  std::size_t previous = 0;
  for (const Field* field : all) {
    EXPECT_TRUE(names.insert(field->Name()).second) << field->Name() << " declared twice";
    EXPECT_EQ(app.settings.Find(field->Name()), field) << field->Name();
    // Every field dumps its flags, after the field before it.
    const std::size_t at = dump.find("\n" + field->Name() + ".enabled=");
    ASSERT_NE(at, std::string::npos) << field->Name() << " is not in the dump";
    EXPECT_GT(at, previous) << field->Name() << " is out of table order in the dump";
    EXPECT_NE(dump.find("\n" + field->Name() + ".visible="), std::string::npos) << field->Name();
    previous = at;
  }
}

TEST_F(FieldTableTest, OptionGroupsFromTheListKeepOneOptionSet) {
  for (Field* field : app.settings.All()) {
    if (field->Kind() != FieldKind::Option) continue;
    ASSERT_NE(field->Group(), nullptr) << field->Name() << " has no group";
    const std::vector<Field*>& group = *field->Group();
    EXPECT_GE(group.size(), 2u) << field->Name() << " is alone in its group";
    field->SetValue(true);
    for (const Field* other : group) {
      EXPECT_EQ(other->IsSet(), other == field) << field->Name() << " / " << other->Name();
    }
  }
}

TEST_F(FieldTableTest, NamesTheListDoesNotDeclareAreRefusedByEveryAction) {
  // Near misses of real names: wrong case, a letter off, a prefix of a longer name.
  for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
           {"--set", "txttitle=x"},
           {"--set", "chkDeinterlaced=1"},
           {"--pick", "cmbM=0"},
           {"--check", "lstAl=0"},
           {"--uncheck", "lstS=0"},
           {"--click", "mnuSav"},
           {"--click", "fraInfo"}}) {  // a frame is layout, not a field
    // A refused name stops the script before start-up, so one record serves every case.
    err.str("");
    EXPECT_EQ(RunScript(app, platform, args, out, err), kScriptUsageError) << args[1];
    const std::string name = args[1].substr(0, args[1].find('='));
    EXPECT_NE(err.str().find("no field named \"" + name + "\""), std::string::npos) << err.str();
    EXPECT_EQ(app.settings.Find(name), nullptr);
  }
  EXPECT_TRUE(system.calls.empty());  // start-up never ran
}

}  // namespace
}  // namespace ravlo
