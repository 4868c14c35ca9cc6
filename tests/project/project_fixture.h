#pragma once
// A planner with a title loaded from D:\VIDEO_TS and a project folder E:\Proj\ that exists,
// on the fake platform. Tests change settings and compare the files byte for byte.

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>

#include "fake_platform.h"
#include "frame/app_state.h"
#include "frame/constants.h"
#include "frame/startup.h"
#include "project/save_report.h"

namespace ravlo::test {

// Each line followed by CR LF.
inline std::string Crlf(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

class ProjectTest : public testing::Test {
 protected:
  void SetUp() override {
    // The start-up of an installation past its first run, with its tools in place.
    platform.settingsStore["Ravlo3\\Options\\FirstRun"] = "Done";
    platform.PutFile("C:\\Program Files\\Ravlo3\\tools\\xt.txt");
    Form_Load(app, nullptr);
    AppGlobals& g = app.globals;
    g.IfoPath = "D:\\VIDEO_TS\\VTS_01_0.IFO";
    g.ProjectFolder = "E:\\Proj\\";
    std::filesystem::create_directories(platform.HostPath("E:\\Proj"));
    app.settings.txtTitle.SetText("1");
    app.settings.txtAngle.SetText("1");
    // The start-up quality of the MP3 list; AC3 and OGG take it too.
    app.settings.cmbAudQual.SetText("128");
  }

  std::string Project(const std::string& name) const { return platform.GetFile("E:\\Proj\\" + name); }
  bool InProject(const std::string& name) { return platform.FileExists("E:\\Proj\\" + name); }

  // Runs one writer, expects it to succeed and returns the file it wrote.
  std::string WriteWith(void (*writer)(AppState&, SaveReport&), const std::string& name) {
    SaveReport report;
    writer(app, report);
    EXPECT_TRUE(report.Ok()) << (report.Ok() ? "" : report.failures[0].reason);
    return Project(name);
  }

  void AddAudio(std::initializer_list<const char*> codes) {
    for (const char* code : codes) app.settings.lstAO_code.AddItem(code);
  }
  void AddSubtitles(std::initializer_list<const char*> codes) {
    for (const char* code : codes) app.settings.lstSO_code.AddItem(code);
  }

  FakePlatform platform;
  AppState app{platform};
  ProjectSettings& s = app.settings;
};

}  // namespace ravlo::test
