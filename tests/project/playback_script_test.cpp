#include "project/writers.h"
#include "project_fixture.h"

namespace ravlo::test {
namespace {

class PlaybackScriptTest : public ProjectTest {
 protected:
  std::string Write() {
    return WriteWith(WritePlaybackScript, "movie.bat");
  }
};

TEST_F(PlaybackScriptTest, ConvertedStreamsAreNamedByIdAndFormat) {
  AddAudio({"0x80o.ac3", "0x81o.ac3"});
  s.optAud_MP3.SetValue(true);
  EXPECT_EQ(Write(),
            "mplayerc.exe movie.avi /dub 0x80.mp3 /dub 0x81.mp3 /play /fullscreen\r\n");
  s.optAud_OGG.SetValue(true);
  EXPECT_EQ(Write(),
            "mplayerc.exe movie.avi /dub 0x80.ogg /dub 0x81.ogg /play /fullscreen\r\n");
  s.optAud_AC3.SetValue(true);
  EXPECT_EQ(Write(),
            "mplayerc.exe movie.avi /dub 0x80.ac3 /dub 0x81.ac3 /play /fullscreen\r\n");
}

TEST_F(PlaybackScriptTest, OriginalStreamsAndSrtSubtitles) {
  AddAudio({"0x80o.ac3", "0x81o.ac3"});
  AddSubtitles({"0x20", "0x21"});
  s.optAud_AC3.SetValue(true);
  s.chkOrig.SetValue(true);
  s.optSub_SRT.SetValue(true);
  EXPECT_EQ(Write(),
            "mplayerc.exe movie.avi /dub 0x80o.ac3 /dub 0x81o.ac3 /sub 0x20.srt /sub 0x21.srt "
            "/play /fullscreen\r\n");
}

TEST_F(PlaybackScriptTest, NothingChosenAndVobsubSubtitlesAreNotNamed) {
  EXPECT_EQ(Write(), "mplayerc.exe movie.avi /play /fullscreen\r\n");
  AddSubtitles({"0x20"});
  ASSERT_TRUE(s.optSub_VOBSUB.IsSet());
  EXPECT_EQ(Write(), "mplayerc.exe movie.avi /play /fullscreen\r\n");
}

}  // namespace
}  // namespace ravlo::test
