#pragma once
// A take: everything the sound device plays, as mixed, written to a file (WAVE, FLAC or Ogg
// Vorbis by the name's extension, through libsndfile). The audio callback only copies each
// period into a ring; a writer thread of the take's own drains it to the file.

#include "platform/audio/SampleRing.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

struct sf_private_tag;

namespace platform::audio
{

class TakeRecorder
{
public:
    // Opens the file for the take at the device's preferred rate. sampleFormat is "float",
    // "16" or "24" (what the container holds), or empty for the container's best. Null, with
    // the reason in error, for an unknown extension, a format the container cannot hold or a
    // file that cannot be written.
    [[nodiscard]] static std::unique_ptr<TakeRecorder>
    Create(const std::string& path, const std::string& sampleFormat, std::string& error);
    TakeRecorder(const TakeRecorder&) = delete;
    TakeRecorder& operator=(const TakeRecorder&) = delete;
    // Finishes the file if Finish has not.
    ~TakeRecorder();

    // Makes this the take the sound device feeds (one at a time), or none.
    static void Attach(TakeRecorder* take);

    // From the sound device, before its first period: the rate it plays at. Starts the writer.
    static void DeviceStarted(int rate);
    // From the audio callback: one mixed period of interleaved stereo.
    static void DeviceMixed(const float* stereo, uint32_t frames);

    // Stops the writer and finishes the file; the line to tell the player what was kept.
    std::string Finish();

    // The most the writer has ever been behind, in device periods.
    double WorstLagPeriods() const;

private:
    TakeRecorder(std::string path, int format);
    bool OpenFile(int rate, std::string& error);
    void Write();
    void Drain(std::vector<float>& chunk);

    const std::string path;
    const int format;
    sf_private_tag* file = nullptr;
    int rate = 0;
    SampleRing ring;
    std::thread writer;
    std::atomic<bool> stopping{false};
    std::atomic<bool> failed{false};
    std::atomic<size_t> worstFilled{0};
    uint64_t framesWritten = 0;
    bool finished = false;
};

} // namespace platform::audio
