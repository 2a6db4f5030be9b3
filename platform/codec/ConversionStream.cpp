#include "platform/codec/ConversionStream.h"

#include "platform/codec/AvLibraries.h"
#include "platform/codec/ImaAdpcm.h"
#include "platform/codec/MpegFrame.h"

#include <algorithm>
#include <cstring>

namespace platform::av
{

namespace
{

// Sample codecs are fed at most this many frames per packet.
constexpr uint32_t SampleFramesPerPacket = 4096;

} // namespace

ConversionStream::~ConversionStream()
{
    if (av == nullptr)
    {
        return;
    }
    av->swrFree(&resampler);
    av->frameFree(&frame);
    av->packetFree(&packet);
    av->freeContext(&decoder);
}

bool ConversionStream::Open(const CodecChoice& choice, const WAVEFORMATEX& pcm)
{
    source = choice;
    destination = pcm;
    decodesHere = IsOwnImaAdpcm(source) && destination.nChannels == source.channels &&
                  destination.nSamplesPerSec == source.rate;
    if (decodesHere)
    {
        return true;
    }
    av = LoadAvLibraries();
    if (av == nullptr)
    {
        return false;
    }
    const AVCodec* codec = av->findDecoder(source.codec);
    if (codec == nullptr)
    {
        return false;
    }
    decoder = av->allocContext(codec);
    packet = av->packetAlloc();
    frame = av->frameAlloc();
    if (decoder == nullptr || packet == nullptr || frame == nullptr)
    {
        return false;
    }
    decoder->sample_rate = static_cast<int>(source.rate);
    av->channelLayoutDefault(&decoder->ch_layout, source.channels);
    decoder->block_align = source.blockAlign;
    decoder->bits_per_coded_sample = source.bitsPerSample;
    decoder->bit_rate = int64_t{source.bytesPerSecond} * 8;
    if (!source.extradata.empty())
    {
        decoder->extradata = static_cast<uint8_t*>(
            av->mallocz(source.extradata.size() + AV_INPUT_BUFFER_PADDING_SIZE));
        if (decoder->extradata == nullptr)
        {
            return false;
        }
        std::memcpy(decoder->extradata, source.extradata.data(), source.extradata.size());
        decoder->extradata_size = static_cast<int>(source.extradata.size());
    }
    return av->open(decoder, codec, nullptr) == 0;
}

uint32_t ConversionStream::NextUnit(const uint8_t* src, uint32_t available, uint32_t room,
                                    bool& skip, uint32_t& expectedBytes) const
{
    skip = false;
    const uint32_t outFrame = destination.nBlockAlign;
    switch (source.packing)
    {
    case Packing::Samples:
    {
        const uint32_t frames =
            std::min({available / source.blockAlign, room / outFrame, SampleFramesPerPacket});
        expectedBytes = frames * outFrame;
        return frames * source.blockAlign;
    }
    case Packing::Blocks:
        expectedBytes = largestUnitOutput;
        return available >= source.blockAlign ? source.blockAlign : 0;
    case Packing::MpegFrames:
    {
        MpegFrame mpeg;
        if (available < 4)
        {
            return 0;
        }
        if (!ReadMpegFrameHeader(src, mpeg))
        {
            skip = true;
            return 1;
        }
        expectedBytes = std::max(largestUnitOutput, mpeg.samples * outFrame);
        return mpeg.bytes <= available ? mpeg.bytes : 0;
    }
    }
    return 0;
}

bool ConversionStream::Convert(const uint8_t* src, uint32_t srcLength, uint8_t* dst,
                               uint32_t dstLength, uint32_t& srcUsed, uint32_t& dstUsed)
{
    srcUsed = 0;
    dstUsed = std::min<uint32_t>(dstLength, static_cast<uint32_t>(carry.size()));
    if (dstUsed > 0)
    {
        std::memcpy(dst, carry.data(), dstUsed);
        carry.erase(carry.begin(), carry.begin() + dstUsed);
    }
    while (carry.empty())
    {
        const uint32_t room = dstLength - dstUsed;
        bool skip = false;
        uint32_t expected = 0;
        const uint32_t unit = NextUnit(src + srcUsed, srcLength - srcUsed, room, skip, expected);
        if (unit == 0 || (!skip && dstUsed > 0 && expected > room))
        {
            break;
        }
        if (!skip)
        {
            uint32_t written = 0;
            if (!Decode(src + srcUsed, unit, dst + dstUsed, room, written))
            {
                return false;
            }
            dstUsed += written;
        }
        srcUsed += unit;
    }
    return true;
}

bool ConversionStream::Decode(const uint8_t* unit, uint32_t size, uint8_t* dst, uint32_t room,
                              uint32_t& written)
{
    written = 0;
    if (decodesHere)
    {
        // A damaged block is skipped, as FFmpeg's decoder skips it.
        if (DecodeImaAdpcmBlock(unit, size, source.channels, overflow))
        {
            written = Deliver(static_cast<uint32_t>(overflow.size()), dst, room);
        }
    }
    else if (!DecodeWithAv(unit, size, dst, room, written))
    {
        return false;
    }
    largestUnitOutput =
        std::max<uint32_t>(largestUnitOutput, written + static_cast<uint32_t>(carry.size()));
    return true;
}

uint32_t ConversionStream::Deliver(uint32_t bytes, uint8_t* dst, uint32_t room)
{
    const uint32_t delivered = std::min(bytes, room);
    std::memcpy(dst, overflow.data(), delivered);
    carry.insert(carry.end(), overflow.begin() + delivered, overflow.begin() + bytes);
    return delivered;
}

bool ConversionStream::DecodeWithAv(const uint8_t* unit, uint32_t size, uint8_t* dst, uint32_t room,
                                    uint32_t& written)
{
    packetBuffer.resize(size + AV_INPUT_BUFFER_PADDING_SIZE);
    std::memcpy(packetBuffer.data(), unit, size);
    std::memset(packetBuffer.data() + size, 0, AV_INPUT_BUFFER_PADDING_SIZE);
    packet->data = packetBuffer.data();
    packet->size = static_cast<int>(size);
    int result = av->sendPacket(decoder, packet);
    if (result == AVERROR(ENOMEM))
    {
        return false;
    }
    // A unit the decoder cannot read is skipped like a damaged frame: the rest still plays.
    while (result >= 0)
    {
        result = av->receiveFrame(decoder, frame);
        if (result == AVERROR(ENOMEM))
        {
            return false;
        }
        if (result < 0)
        {
            break;
        }
        uint32_t produced = 0;
        const bool resampled = Resample(*frame, dst + written, room - written, produced);
        av->frameUnref(frame);
        if (!resampled)
        {
            return false;
        }
        written += produced;
    }
    return true;
}

bool ConversionStream::ConfigureResampler(const AVFrame& decoded)
{
    if (resampler != nullptr && decoded.sample_rate == resamplerRate &&
        decoded.ch_layout.nb_channels == resamplerChannels && decoded.format == resamplerFormat)
    {
        return true;
    }
    av->swrFree(&resampler);
    AVChannelLayout outLayout;
    av->channelLayoutDefault(&outLayout, destination.nChannels);
    AVChannelLayout inLayout;
    av->channelLayoutDefault(&inLayout, decoded.ch_layout.nb_channels);
    const int result = av->swrAllocSetOpts2(
        &resampler, &outLayout, AV_SAMPLE_FMT_S16, static_cast<int>(destination.nSamplesPerSec),
        &inLayout, static_cast<AVSampleFormat>(decoded.format), decoded.sample_rate, 0, nullptr);
    av->channelLayoutUninit(&outLayout);
    av->channelLayoutUninit(&inLayout);
    if (result < 0 || av->swrInit(resampler) < 0)
    {
        av->swrFree(&resampler);
        return false;
    }
    resamplerRate = decoded.sample_rate;
    resamplerChannels = decoded.ch_layout.nb_channels;
    resamplerFormat = decoded.format;
    return true;
}

bool ConversionStream::Resample(const AVFrame& decoded, uint8_t* dst, uint32_t room,
                                uint32_t& written)
{
    written = 0;
    if (decoded.nb_samples <= 0)
    {
        return true;
    }
    if (decoded.sample_rate <= 0 || decoded.ch_layout.nb_channels <= 0 ||
        decoded.ch_layout.nb_channels > MaxCodecChannels)
    {
        return true;
    }
    if (!ConfigureResampler(decoded))
    {
        return false;
    }
    const uint32_t outFrame = destination.nBlockAlign;
    const int capacity = av->swrGetOutSamples(resampler, decoded.nb_samples);
    if (capacity < 0)
    {
        return false;
    }
    const bool direct = uint64_t(capacity) * outFrame <= room;
    if (!direct)
    {
        overflow.resize(size_t(capacity) * outFrame);
    }
    uint8_t* out = direct ? dst : overflow.data();
    const int frames =
        av->swrConvert(resampler, &out, capacity,
                       const_cast<const uint8_t**>(decoded.extended_data), decoded.nb_samples);
    if (frames < 0)
    {
        return false;
    }
    const uint32_t bytes = uint32_t(frames) * outFrame;
    if (direct)
    {
        written = bytes;
        return true;
    }
    written = Deliver(bytes, dst, room);
    return true;
}

} // namespace platform::av
