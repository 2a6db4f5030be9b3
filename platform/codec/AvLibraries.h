#pragma once
// The FFmpeg functions the conversion streams call, opened on first use rather than linked:
// only a program that converts a sound pays for the libraries and their many dependencies.

extern "C"
{
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
#include <libswresample/swresample.h>
}

namespace platform::av
{

struct AvLibraries
{
    decltype(&avcodec_find_decoder) findDecoder;
    decltype(&avcodec_alloc_context3) allocContext;
    decltype(&avcodec_free_context) freeContext;
    decltype(&avcodec_open2) open;
    decltype(&avcodec_send_packet) sendPacket;
    decltype(&avcodec_receive_frame) receiveFrame;
    decltype(&av_packet_alloc) packetAlloc;
    decltype(&av_packet_free) packetFree;
    decltype(&av_frame_alloc) frameAlloc;
    decltype(&av_frame_free) frameFree;
    decltype(&av_frame_unref) frameUnref;
    decltype(&av_mallocz) mallocz;
    decltype(&av_log_set_level) logSetLevel;
    decltype(&av_channel_layout_default) channelLayoutDefault;
    decltype(&av_channel_layout_uninit) channelLayoutUninit;
    decltype(&swr_alloc_set_opts2) swrAllocSetOpts2;
    decltype(&swr_init) swrInit;
    decltype(&swr_free) swrFree;
    decltype(&swr_get_out_samples) swrGetOutSamples;
    decltype(&swr_convert) swrConvert;
};

// The libraries of the versions this was built against, opened once and never closed; null
// when one of them or one of its functions is missing.
const AvLibraries* LoadAvLibraries();

} // namespace platform::av
