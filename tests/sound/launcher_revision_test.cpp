// The launcher's older build of the library.
#include "sound_fixture.h"

using namespace soundtest;

// The older build has no lookup by ID and no ID forms of stop and pause.
static_assert(!LooksUpById<ZQSound> && !StopsById<ZQSound> && !PausesById<ZQSound>);

TEST_F(SoundTest, TheLauncherBuildStopsWithoutRewindingAndDatesItself) {
    EXPECT_STREQ("Sun Mar 18 08:22:02 2001", g_Sound.GetLIBDate());
    ASSERT_EQ(1, Load("a.wav", Wav(1, 22050, 16, Pattern(22050, 1)), 10));
    SNDSample* sample = g_Sound.PlaySample(10, 65535, 32768);
    ASSERT_EQ(Slot(0), sample);
    Pump(1000);
    EXPECT_EQ(1, sample->StopSample());
    EXPECT_FALSE(sample->SamplePlaying());
    EXPECT_EQ(2000u, PlayCursor(sample));
    // Played again, it goes on from where it stopped.
    ASSERT_EQ(sample, g_Sound.PlaySample(10, 65535, 32768));
    EXPECT_EQ(2000u, PlayCursor(sample));
}
