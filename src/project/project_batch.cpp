#include "common/numbers.h"
#include "frame/cmd_text.h"
#include "project/writers.h"

namespace ravlo {
namespace {

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

std::string ConversionLine(const ProjectPlan& plan, const PlannedStream& stream) {
  const std::string id = stream.Id();
  const std::string core = "START /w BeSweet.exe -core( -input " + stream.code + " -output " + id +
                           plan.AudioExtension() + " -logfile " + id + ".log" + " -substream " + id;
  const std::string& dc = plan.dynamicCompression;
  const std::string quality = FormatNumber(plan.audioKbps);
  const std::string mixdown =
      " ) -ota( -g max -d auto ) -azid( -L -3db -c " + dc + " -s " + plan.channelMode;

  switch (plan.audioOutput) {
    case AudioOutput::Ac3:
      if (plan.sixChannels) {
        // Six channels: no down-mix, so neither channels mode nor the -3db attenuation.
        return core + " ) -ota( -g max -d auto ) -azid( -c " + dc + " ) -ac3enc( -b " + quality +
               " -6ch )";
      }
      return core + mixdown + " ) -ac3enc( -b " + quality + " )";
    case AudioOutput::Mp3: return core + mixdown + " ) -lame( -b " + quality + " )";
    case AudioOutput::Ogg: return core + mixdown + " ) -ogg( -q " + plan.oggQuality + " )";
    case AudioOutput::Aac:   // the Linux road's formats: the Windows program never plans them
    case AudioOutput::Opus:
    case AudioOutput::None: break;
  }
  return {};
}

void AudioSection(const ProjectPlan& plan, BatchText& bat) {
  if (plan.audio.empty()) return;

  bat.Line("ECHO Audio: %time% >> log.txt");
  const std::string chain = FormatNumber(plan.chain - 1);
  const std::string angle = FormatNumber(plan.angle);
  for (const PlannedStream& stream : plan.audio) {
    bat.Line("START /w vStrip.exe @project.lst -i\"" + BatchQuoted(plan.ifoPath) + "\" -p" + chain +
             " -j" + angle + " -!do" + stream.code + " 0xBD " + stream.Id());
  }
  if (plan.original) return;  // the demultiplexed files are the result

  for (const PlannedStream& stream : plan.audio) bat.Line(ConversionLine(plan, stream));
  for (const PlannedStream& stream : plan.audio) bat.Line("DEL " + stream.code);
  bat.Line();
}

void TemporaryFilesSection(const ProjectPlan& plan, BatchText& bat) {
  const bool subtitles = !plan.subtitles.empty();
  const bool converted = plan.Converts();
  if (subtitles) {
    bat.Line("DEL movie.sub");
    bat.Line("DEL subparam");
  }
  bat.Line("DEL 1st.reg");
  bat.Line("DEL 2nd.reg");
  bat.Line("DEL brimmer.exe");
  bat.Line("DEL vStrip.exe");
  if (converted && plan.audioOutput == AudioOutput::Ac3) bat.Line("DEL ac3enc.dll");
  if (converted) {
    bat.Line("DEL azid.dll");
    bat.Line("DEL BeSweet.exe");
    bat.Line("DEL hip.dll");
  }
  if (converted && plan.audioOutput == AudioOutput::Mp3) bat.Line("DEL lame_enc.dll");
  if (plan.autoCrop) bat.Line("DEL AutoCrop.dll");
  if (plan.deinterlace || plan.ivtc) bat.Line("DEL Decomb.dll");
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

std::string ProjectBatchText(const ProjectPlan& plan) {
  BatchText bat(plan.lineBreak);

  bat.Line("@ECHO OFF");
  bat.Line();
  bat.Line("ECHO Encoding - do not close this window...");
  bat.Line();

  bat.Line("ECHO Analysis: %time% > log.txt");
  // The path stands outside quotation marks here, so cmd's own characters are escaped.
  bat.Line("START /w DGIndex.exe -AIF=[" + BatchBare(plan.firstVob) + "] " +
           (plan.forceFilm ? "-FO 1 " : "") + "-OM=0 -OF=[project] -exit");
  bat.Line();

  if (!plan.subtitles.empty()) {
    bat.Line("ECHO Subtitles: %time% >> log.txt");
    if (plan.subtitleOutput == SubtitleOutput::VobSub) {
      bat.Line("START /w rundll32 vobsub.dll,Configure subparam");
      bat.Line("START /w rar32.exe a -ep movie.rar movie.sub");
      bat.Line();
    }
  }

  AudioSection(plan, bat);

  bat.Line("ECHO Video 1st pass: %time% >> log.txt");
  bat.Line("START /w regedit /s 1st.reg");
  bat.Line("START /w avs2avi.exe project.avs movie.avi -w -c XVID");
  bat.Line();
  bat.Line("ECHO Video 2nd pass: %time% >> log.txt");
  // brimmer appends the second-pass size to 2nd.reg, so it runs before the import.
  bat.Line("START /w brimmer.exe " + plan.mediaText);
  bat.Line("START /w regedit /s 2nd.reg");
  bat.Line("START /w avs2avi.exe project.avs movie.avi -w -c XVID");
  bat.Line();

  bat.Line("ECHO Set author: %time% >> log.txt");
  bat.Line(std::string("START /w gsar.exe -s\"") + ConverterSignature + "\" -r\"" +
           BatchQuoted(plan.authorText) + "\" -o *.mp3 *.ogg *.ac3");
  bat.Line();
  bat.Line("ECHO End: %time% >> log.txt");

  if (plan.deleteTemporary) TemporaryFilesSection(plan, bat);
  if (plan.deleteLogs) {
    for (const PlannedStream& stream : plan.audio) bat.Line("DEL " + stream.Id() + ".log");
    bat.Line("DEL project.avs");
    bat.Line("DEL project.d2v");
    bat.Line("DEL project.lst");
  }
  if (plan.shutDown) bat.Line("shutdown -s");
  bat.Line("CLS");
  return bat.Text();
}

}  // namespace ravlo
