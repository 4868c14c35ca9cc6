#include <cmath>

#include "common/numbers.h"
#include "frame/paths.h"
#include "project/writers.h"
#include "streams/audio_format.h"

namespace ravlo {
namespace {

// The -p and -j arguments: the leading number of a text, whole, plus an offset.
std::string WholeNumberText(const std::string& text, long long offset) {
  const double value = RoundHalfEven(LeadingNumber(text));
  // Far beyond any program chain or angle; kept in range so the conversion stays defined.
  constexpr double kLimit = 1e15;
  const double bounded = std::fmax(-kLimit, std::fmin(kLimit, value));
  return FormatNumber(static_cast<long long>(bounded) + offset);
}

// Builds the text line by line; every line, empty ones too, ends with the line break.
class BatchText {
 public:
  explicit BatchText(const std::string& lineBreak) : br_(lineBreak) {}
  void Line(const std::string& line = {}) { text_ += line + br_; }
  const std::string& Text() const { return text_; }

 private:
  const std::string& br_;
  std::string text_;
};

std::string ConversionLine(const ProjectSettings& s, const std::string& code,
                           const std::string& oggQuality) {
  const std::string id = code.substr(0, 4);
  std::string extension = ".ac3";
  if (s.optAud_MP3.IsSet()) extension = ".mp3";
  if (s.optAud_OGG.IsSet()) extension = ".ogg";
  const std::string core = "START /w BeSweet.exe -core( -input " + code + " -output " + id +
                           extension + " -logfile " + id + ".log" + " -substream " + id;
  const std::string& dc = s.cmbBS_DC.Text();
  const std::string& cm = s.cmbBS_CM.Text();
  const std::string& quality = s.cmbAudQual.Text();
  const std::string mixdown = " ) -ota( -g max -d auto ) -azid( -L -3db -c " + dc + " -s " + cm;

  if (s.optAud_AC3.IsSet()) {
    if (s.chk51.Value() == 1) {
      // Six channels: no down-mix, so neither channels mode nor the -3db attenuation.
      return core + " ) -ota( -g max -d auto ) -azid( -c " + dc + " ) -ac3enc( -b " + quality +
             " -6ch )";
    }
    return core + mixdown + " ) -ac3enc( -b " + quality + " )";
  }
  if (s.optAud_MP3.IsSet()) return core + mixdown + " ) -lame( -b " + quality + " )";
  if (s.optAud_OGG.IsSet()) return core + mixdown + " ) -ogg( -q " + oggQuality + " )";
  return {};  // no format selected: nothing to convert to
}

void AudioSection(AppState& app, BatchText& bat) {
  const ProjectSettings& s = app.settings;
  const std::vector<std::string>& codes = s.lstAO_code.Items();
  if (codes.empty()) return;

  bat.Line("ECHO Audio: %time% >> log.txt");
  const std::string chain = WholeNumberText(s.txtTitle.Text(), -1);
  const std::string angle = WholeNumberText(s.txtAngle.Text(), 0);
  for (const std::string& code : codes) {
    bat.Line("START /w vStrip.exe @project.lst -i\"" + app.globals.IfoPath + "\" -p" + chain +
             " -j" + angle + " -!do" + code + " 0xBD " + code.substr(0, 4));
  }
  if (s.chkOrig.Value() == 1) return;  // the demultiplexed files are the result

  // Asked once, before any line is built, so every stream gets the same value.
  if (s.optAud_OGG.IsSet()) ResolveOggQuality(app);
  for (const std::string& code : codes) {
    const std::string line = ConversionLine(s, code, app.globals.OggQuality);
    if (!line.empty()) bat.Line(line);
  }
  for (const std::string& code : codes) bat.Line("DEL " + code);
  bat.Line();
}

void TemporaryFilesSection(const ProjectSettings& s, BatchText& bat) {
  const bool subtitles = s.lstSO_code.ItemCount() > 0;
  const bool converted = s.lstAO_code.ItemCount() > 0 && s.chkOrig.Value() != 1;
  if (subtitles) {
    bat.Line("DEL movie.sub");
    bat.Line("DEL subparam");
  }
  bat.Line("DEL 1st.reg");
  bat.Line("DEL 2nd.reg");
  bat.Line("DEL brimmer.exe");
  bat.Line("DEL vStrip.exe");
  if (converted && s.optAud_AC3.IsSet()) bat.Line("DEL ac3enc.dll");
  if (converted) {
    bat.Line("DEL azid.dll");
    bat.Line("DEL BeSweet.exe");
    bat.Line("DEL hip.dll");
  }
  if (converted && s.optAud_MP3.IsSet()) bat.Line("DEL lame_enc.dll");
  if (s.chkAC.Value() == 1) bat.Line("DEL AutoCrop.dll");
  if (s.chkDeinterlace.Value() == 1 || s.chkIVTC.Value() == 1) bat.Line("DEL Decomb.dll");
  bat.Line("DEL DGDecode.dll");
  bat.Line("DEL DGIndex.exe");
  bat.Line("DEL avs2avi.exe");
  if (subtitles) {
    bat.Line("DEL rar32.exe");
    bat.Line("DEL rsx.exe");
  }
  bat.Line("DEL gsar.exe");
}

}  // namespace

void WriteProjectBatch(AppState& app, SaveReport& report) {
  const ProjectSettings& s = app.settings;
  const AppGlobals& g = app.globals;
  BatchText bat(g.LineBreak);

  bat.Line("@ECHO OFF");
  bat.Line();
  bat.Line("ECHO Encoding - do not close this window...");
  bat.Line();

  const std::string firstVob = FolderOf(g.IfoPath) + FileNameOf(g.IfoPath).substr(0, 7) + "1.VOB";
  bat.Line("ECHO Analysis: %time% > log.txt");
  bat.Line("START /w DGIndex.exe -AIF=[" + firstVob + "] " +
           (s.chkForceFilm.Value() == 1 ? "-FO 1 " : "") + "-OM=0 -OF=[project] -exit");
  bat.Line();

  if (s.lstSO_code.ItemCount() > 0) {
    bat.Line("ECHO Subtitles: %time% >> log.txt");
    if (s.optSub_VOBSUB.IsSet()) {
      bat.Line("START /w rundll32 vobsub.dll,Configure subparam");
      bat.Line("START /w rar32.exe a -ep movie.rar movie.sub");
      bat.Line();
    }
  }

  AudioSection(app, bat);

  bat.Line("ECHO Video 1st pass: %time% >> log.txt");
  bat.Line("START /w regedit /s 1st.reg");
  bat.Line("START /w avs2avi.exe project.avs movie.avi -w -c XVID");
  bat.Line();
  bat.Line("ECHO Video 2nd pass: %time% >> log.txt");
  // brimmer appends the second-pass size to 2nd.reg, so it runs before the import.
  bat.Line("START /w brimmer.exe " + s.cmbMS.Text());
  bat.Line("START /w regedit /s 2nd.reg");
  bat.Line("START /w avs2avi.exe project.avs movie.avi -w -c XVID");
  bat.Line();

  bat.Line("ECHO Set author: %time% >> log.txt");
  bat.Line(std::string("START /w gsar.exe -s\"") + ConverterSignature + "\" -r\"" + g.AuthorText +
           "\" -o *.mp3 *.ogg *.ac3");
  bat.Line();
  bat.Line("ECHO End: %time% >> log.txt");

  if (s.chkDelTemp.Value() == 1) TemporaryFilesSection(s, bat);
  if (s.chkDelLogs.Value() == 1) {
    for (const std::string& code : s.lstAO_code.Items()) bat.Line("DEL " + code.substr(0, 4) + ".log");
    bat.Line("DEL project.avs");
    bat.Line("DEL project.d2v");
    bat.Line("DEL project.lst");
  }
  if (s.chkShutDown.Value() == 1) bat.Line("shutdown -s");
  bat.Line("CLS");

  WriteProjectFile(app, "project.bat", bat.Text(), report);
}

}  // namespace ravlo
