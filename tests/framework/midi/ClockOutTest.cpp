// The drum machine's clock through the MIDI manager, heard on a private JACK server.

#include "framework/midi/IMidiManager.h"
#include "tests/support/JackServer.h"

#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;

// The steps come sooner than their interval, as when the tempo is raised: the pulses a step
// still owes go out before the next step's, so gear following the clock loses no step.
TEST(ClockOut, EveryStepCarriesSixPulsesBetweenStartAndStop)
{
    TestSupport::JackServer server;
    ASSERT_TRUE(server.Running());
    const auto midi = Qorv::Midi::CreateMidiManager();
    ASSERT_TRUE(midi->Initialize([](LPARAM) {}));
    TestSupport::MidiListener listener;
    ASSERT_TRUE(listener.ListenTo("^pakemino", 10s));

    constexpr int Steps = 4;
    midi->SendStart();
    for (int step = 0; step < Steps; ++step)
    {
        midi->SendStepClock(60);
        std::this_thread::sleep_for(20ms);
    }
    std::vector<unsigned char> expected{0xFA};
    expected.insert(expected.end(), 6 * Steps, 0xF8);
    (void)listener.Received(expected.size(), 10s);
    midi->SendStop();
    expected.push_back(0xFC);
    EXPECT_EQ(listener.Received(expected.size(), 10s), expected);
}
