#include "platform/codec/ConversionStream.h"

#include "platform/codec/MpegFrame.h"

extern "C"
{
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libswresample/swresample.h>
}

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
    swr_free(&resampler);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
}

bool ConversionStream::Open(const CodecChoice& choice, const WAVEFORMATEX& pcm)
{
    // The compression manager reports by results only; damaged data is no message.
    av_log_set_level(AV_LOG_QUIET);
    source = choice;
    destination = pcm;
    const AVCodec* codec = avcodec_find_decoder(source.codec);
    if (codec == nullptr)
    {
        return false;
    }
    decoder = avcodec_alloc_context3(codec);
    packet = av_packet_alloc();
    frame = av_frame_alloc();
    if (decoder == nullptr || packet == nullptr || frame == nullptr)
    {
        return false;
    }
    decoder->sample_rate = static_cast<int>(source.rate);
    av_channel_layout_default(&decoder->ch_layout, source.channels);
    decoder->block_align = source.blockAlign;
    decoder->bits_per_coded_sample = source.bitsPerSample;
    decoder->bit_rate = int64_t{source.bytesPerSecond} * 8;
    if (!source.extradata.empty())
    {
        decoder->extradata = static_cast<uint8_t*>(
            av_mallocz(source.extradata.size() + AV_INPUT_BUFFER_PADDING_SIZE));
        if (decoder->extradata == nullptr)
        {
            return false;
        }
        std::memcpy(decoder->extradata, source.extradata.data(), source.extradata.size());
        decoder->extradata_size = static_cast<int>(source.extradata.size());
    }
    return avcodec_open2(decoder, codec, nullptr) == 0;
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
    packetBuffer.resize(size + AV_INPUT_BUFFER_PADDING_SIZE);
    std::memcpy(packetBuffer.data(), unit, size);
    std::memset(packetBuffer.data() + size, 0, AV_INPUT_BUFFER_PADDING_SIZE);
    packet->data = packetBuffer.data();
    packet->size = static_cast<int>(size);
    int result = avcodec_send_packet(decoder, packet);
    if (result == AVERROR(ENOMEM))
    {
        return false;
    }
    // A unit the decoder cannot read is skipped like a damaged frame: the rest still plays.
    while (result >= 0)
    {
        result = avcodec_receive_frame(decoder, frame);
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
        av_frame_unref(frame);
        if (!resampled)
        {
            return false;
        }
        written += produced;
    }
    largestUnitOutput =
        std::max<uint32_t>(largestUnitOutput, written + static_cast<uint32_t>(carry.size()));
    return true;
}

bool ConversionStream::ConfigureResampler(const AVFrame& decoded)
{
    if (resampler != nullptr && decoded.sample_rate == resamplerRate &&
        decoded.ch_layout.nb_channels == resamplerChannels && decoded.format == resamplerFormat)
    {
        return true;
    }
    swr_free(&resampler);
    AVChannelLayout outLayout;
    av_channel_layout_default(&outLayout, destination.nChannels);
    AVChannelLayout inLayout;
    av_channel_layout_default(&inLayout, decoded.ch_layout.nb_channels);
    const int result = swr_alloc_set_opts2(
        &resampler, &outLayout, AV_SAMPLE_FMT_S16, static_cast<int>(destination.nSamplesPerSec),
        &inLayout, static_cast<AVSampleFormat>(decoded.format), decoded.sample_rate, 0, nullptr);
    av_channel_layout_uninit(&outLayout);
    av_channel_layout_uninit(&inLayout);
    if (result < 0 || swr_init(resampler) < 0)
    {
        swr_free(&resampler);
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
    const int capacity = swr_get_out_samples(resampler, decoded.nb_samples);
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
        swr_convert(resampler, &out, capacity, const_cast<const uint8_t**>(decoded.extended_data),
                    decoded.nb_samples);
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
    written = std::min(bytes, room);
    std::memcpy(dst, overflow.data(), written);
    carry.insert(carry.end(), overflow.begin() + written, overflow.begin() + bytes);
    return true;
}

} // namespace platform::av
